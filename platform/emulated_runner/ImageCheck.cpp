#include "ImageCheck.hpp"

#include <elf.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <vector>

namespace emulated {

namespace {

// QEMU's mps2-an505 takes the core's first stack pointer and reset entry
// from the secure code block's start (platform/mcu/ld/emulated_board_memory.ld
// puts .vectors there); the image's code lies in that block's 4 MiB.
constexpr std::uint32_t vectorTable = 0x10000000u;
constexpr std::uint32_t codeBlockBytes = 4u << 20;

std::string hex(std::uint32_t value)
{
    char text[16];
    std::snprintf(text, sizeof text, "0x%08x", value);
    return text;
}

// The file's bytes from `offset`, fewer where it ends first.
std::vector<char> readAt(std::ifstream& file, std::uint64_t offset, std::size_t bytes)
{
    std::vector<char> data(bytes);
    file.clear();
    file.seekg(static_cast<std::streamoff>(offset));
    file.read(data.data(), static_cast<std::streamsize>(bytes));
    data.resize(file ? bytes : static_cast<std::size_t>(file.gcount()));
    return data;
}

// The header's own fields; the file's size is checked with its segments.
std::string checkHeader(const std::vector<char>& bytes, Elf32_Ehdr& header)
{
    if (bytes.size() < SELFMAG || std::memcmp(bytes.data(), ELFMAG, SELFMAG) != 0) {
        return "not an ELF file";
    }
    if (bytes.size() <= EI_DATA) {
        return "cut short inside its ELF header";
    }
    if (bytes[EI_CLASS] != ELFCLASS32) {
        return bytes[EI_CLASS] == ELFCLASS64 ? "a 64-bit ELF file, not a 32-bit ARM image"
                                             : "an ELF file of an unknown class";
    }
    if (bytes[EI_DATA] != ELFDATA2LSB) {
        return "a big-endian ELF file; the board is little-endian";
    }
    if (bytes.size() < sizeof header) {
        return "cut short inside its ELF header";
    }
    std::memcpy(&header, bytes.data(), sizeof header);
    if (header.e_machine != EM_ARM) {
        return "an ELF file for another processor (machine " + std::to_string(header.e_machine) + "), not ARM";
    }
    if (header.e_type != ET_EXEC) {
        return "not an executable ELF file (type " + std::to_string(header.e_type) + ")";
    }
    if (header.e_phentsize != sizeof(Elf32_Phdr) || header.e_phnum == 0) {
        return "an ELF executable without program headers to load";
    }
    if (header.e_entry < vectorTable || header.e_entry - vectorTable >= codeBlockBytes) {
        return "starts at " + hex(header.e_entry) + ", outside the board's code block " + hex(vectorTable) + "-" +
               hex(vectorTable + codeBlockBytes - 1);
    }
    return {};
}

} // namespace

std::string checkBoardImage(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        return std::string("cannot be read: ") + std::strerror(errno);
    }
    Elf32_Ehdr header{};
    if (std::string problem = checkHeader(readAt(file, 0, sizeof header), header); !problem.empty()) {
        return problem;
    }
    const std::size_t tableBytes = std::size_t{header.e_phnum} * sizeof(Elf32_Phdr);
    const std::vector<char> table = readAt(file, header.e_phoff, tableBytes);
    if (table.size() < tableBytes) {
        return "cut short: its program headers end past the file's end";
    }
    file.clear();
    file.seekg(0, std::ios::end);
    const auto fileBytes = static_cast<std::uint64_t>(file.tellg());
    // QEMU loads each segment at its physical address, as the board's flash holds it.
    std::uint32_t resetEntry = 0;
    bool tableFound = false;
    for (std::size_t i = 0; i < header.e_phnum; ++i) {
        Elf32_Phdr segment{};
        std::memcpy(&segment, table.data() + i * sizeof segment, sizeof segment);
        if (segment.p_type != PT_LOAD) {
            continue;
        }
        if (std::uint64_t{segment.p_offset} + segment.p_filesz > fileBytes) {
            return "cut short: its segment at " + hex(segment.p_paddr) + " ends past the file's end";
        }
        const std::uint64_t into = std::uint64_t{vectorTable} - segment.p_paddr;
        if (segment.p_paddr <= vectorTable && into + 8 <= segment.p_filesz) {
            const std::vector<char> words = readAt(file, segment.p_offset + into, 8);
            std::memcpy(&resetEntry, words.data() + 4, sizeof resetEntry);
            tableFound = true;
        }
    }
    if (!tableFound) {
        return "has no vector table at " + hex(vectorTable) + ", where the board's core starts";
    }
    if (resetEntry != header.e_entry) {
        return "starts at " + hex(header.e_entry) + ", but its vector table's reset entry is " + hex(resetEntry);
    }
    if ((resetEntry & 1u) == 0) {
        return "its reset entry " + hex(resetEntry) + " is not Thumb code, the only code the board's core runs";
    }
    return {};
}

} // namespace emulated
