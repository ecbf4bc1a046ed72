// The touch chip's registers, as both boards latch reports into them and
// read them out over the bus.

#include <gtest/gtest.h>

#include <array>
#include <cstdint>

#include "device_models/TouchChip.hpp"
#include "sim/BoardFaults.hpp"

namespace {

using devices::touch::Fingers;
using devices::touch::packPoint;
using devices::touch::Registers;

constexpr std::uint8_t chip = devices::touch::chipAddress;

// The status register, then both points as the firmware reads them.
using Report = std::array<std::uint8_t, 14>;

Report readReport(const Registers& registers)
{
    Report bytes{};
    EXPECT_TRUE(registers.read(chip, devices::touch::statusRegister, bytes.data(), bytes.size()));
    return bytes;
}

// A point's x and y, each low byte first, from its first register on.
std::array<int, 2> pointAt(const Report& bytes, std::uint16_t reg)
{
    const std::size_t at = reg - devices::touch::statusRegister;
    return {bytes[at] | bytes[at + 1] << 8, bytes[at + 2] | bytes[at + 3] << 8};
}

} // namespace

TEST(TouchChipRegisters, AReportLatchesTheCountAndBothPointsLowByteFirst)
{
    Registers registers;
    registers.latchReport(1, Fingers{2, {packPoint(0x123, 0x045), packPoint(799, 479)}});
    const Report bytes = readReport(registers);
    EXPECT_EQ(bytes[0], 0x82) << "buffer ready, two fingers";
    EXPECT_EQ(pointAt(bytes, devices::touch::firstPointRegister), (std::array<int, 2>{0x123, 0x45}));
    EXPECT_EQ(pointAt(bytes, devices::touch::secondPointRegister), (std::array<int, 2>{799, 479}));

    const std::uint8_t clear = 0;
    EXPECT_TRUE(registers.write(chip, devices::touch::statusRegister, &clear, 1));
    EXPECT_EQ(readReport(registers)[0], 0);
    EXPECT_FALSE(registers.write(chip, devices::touch::firstPointRegister, &clear, 1)) << "only the status is written";
}

TEST(TouchChipRegisters, EveryThirdReportIsGarbledWhileAFaultIsActive)
{
    const Fingers one{1, {packPoint(10, 20), 0}};
    Registers registers;
    sim::board::clearFaults();
    sim::board::injectFault(devices::Fault::TouchCount, 9, 0, UINT64_MAX);
    sim::board::injectFault(devices::Fault::TouchOutside, 0, 0, UINT64_MAX);
    for (std::uint32_t report = 1; report <= 6; ++report) {
        registers.latchReport(report, one);
        const Report bytes = readReport(registers);
        const bool garbled = report % 3 == 0;
        EXPECT_EQ(bytes[0], garbled ? 0x89 : 0x81) << "report " << report;
        EXPECT_EQ(pointAt(bytes, devices::touch::firstPointRegister)[0], garbled ? 0xFFF : 10) << "report " << report;
    }
    sim::board::clearFaults();
    registers.latchReport(3, one);
    EXPECT_EQ(readReport(registers)[0], 0x81) << "no fault, no garbling";
}
