#pragma once

#include "ui/DMA.hpp"

// The framework's blits on the board's blitter: a queue of 96 operations,
// each programmed when the previous one has completed.
class BlitterDMA : public ui::DMA_Interface {
public:
    static constexpr std::uint32_t queueCapacity = 96;
    static constexpr std::uint32_t capabilities = 0x3EF;
    static constexpr std::uint8_t blitterBacked = 1;

    // `initializationFailed` stops the board when the blitter cannot be set up.
    explicit BlitterDMA(void (*initializationFailed)()) : ui::DMA_Interface(blitQueue), stopBoard(initializationFailed)
    {
    }

    std::uint32_t getBlitCaps() override { return capabilities; }
    // Resets the blitter, installs its callbacks and enables its interrupt.
    void initialize() override;
    void signalDMAInterrupt() override { executeCompleted(); }
    std::uint8_t getDMAType() override { return blitterBacked; }

protected:
    bool setupDataCopy(const ui::BlitOp& op) override;
    bool setupDataFill(const ui::BlitOp& op) override;

private:
    void (*stopBoard)();
    ui::BlitOp queueStorage[queueCapacity];
    ui::LockFreeDMA_Queue blitQueue{queueStorage, queueCapacity};
};
