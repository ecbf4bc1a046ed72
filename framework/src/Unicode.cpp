#include "ui/Unicode.hpp"

#include <cmath>

namespace ui::Unicode {

namespace {

class Output {
public:
    Output(UnicodeChar* destination, std::uint16_t capacity) : dst(destination), size(capacity) {}

    void put(UnicodeChar c)
    {
        if (pos + 1 < size) {
            dst[pos++] = c;
        }
    }
    void repeat(UnicodeChar c, int count)
    {
        for (int i = 0; i < count; ++i) {
            put(c);
        }
    }
    UnicodeChar* finish()
    {
        if (size > 0) {
            dst[pos] = 0;
        }
        return dst;
    }

private:
    UnicodeChar* dst;
    std::uint16_t size;
    std::uint16_t pos = 0;
};

struct Conversion {
    bool left = false;
    bool zero = false;
    bool plus = false;
    bool space = false;
    int width = 0;
    int precision = -1;
    char type = 0;
};

// Where the arguments of a conversion come from.
class ArgumentSource {
public:
    virtual ~ArgumentSource() = default;
    virtual bool accepts(char type) const = 0;
    virtual int nextInt() = 0;
    virtual unsigned int nextUnsigned() = 0;
    virtual const UnicodeChar* nextString() = 0;
    virtual double nextFloat() = 0;
};

class VariadicArguments : public ArgumentSource {
public:
    explicit VariadicArguments(std::va_list source) { va_copy(args, source); }
    ~VariadicArguments() override { va_end(args); }
    VariadicArguments(const VariadicArguments&) = delete;
    VariadicArguments& operator=(const VariadicArguments&) = delete;

    bool accepts(char) const override { return true; }
    int nextInt() override { return va_arg(args, int); }
    unsigned int nextUnsigned() override { return va_arg(args, unsigned int); }
    const UnicodeChar* nextString() override { return va_arg(args, const UnicodeChar*); }
    double nextFloat() override { return va_arg(args, double); }

private:
    std::va_list args;
};

class FloatArguments : public ArgumentSource {
public:
    explicit FloatArguments(const float* floats) : values(floats) {}

    bool accepts(char type) const override { return type == 'f'; }
    int nextInt() override { return 0; }
    unsigned int nextUnsigned() override { return 0; }
    const UnicodeChar* nextString() override { return nullptr; }
    double nextFloat() override { return *values++; }

private:
    const float* values;
};

// Writes sign and digits padded to the conversion's width.
void emitNumber(Output& out, const Conversion& c, char sign, const char* digits, int digitCount, bool zeroPadAllowed)
{
    const int length = digitCount + (sign != 0 ? 1 : 0);
    const int padding = c.width > length ? c.width - length : 0;
    if (!c.left && !(c.zero && zeroPadAllowed)) {
        out.repeat(' ', padding);
    }
    if (sign != 0) {
        out.put(static_cast<UnicodeChar>(sign));
    }
    if (!c.left && c.zero && zeroPadAllowed) {
        out.repeat('0', padding);
    }
    for (int i = 0; i < digitCount; ++i) {
        out.put(static_cast<UnicodeChar>(digits[i]));
    }
    if (c.left) {
        out.repeat(' ', padding);
    }
}

char signFor(const Conversion& c, bool negative)
{
    if (negative) {
        return '-';
    }
    if (c.plus) {
        return '+';
    }
    return c.space ? ' ' : 0;
}

void emitInteger(Output& out, const Conversion& c, bool negative, std::uint64_t magnitude)
{
    const unsigned base = (c.type == 'x' || c.type == 'X') ? 16 : 10;
    const char* symbols = c.type == 'X' ? "0123456789ABCDEF" : "0123456789abcdef";
    char reversed[24];
    int count = 0;
    while (magnitude != 0) {
        reversed[count++] = symbols[magnitude % base];
        magnitude /= base;
    }
    const int minDigits = c.precision >= 0 ? c.precision : 1;
    char digits[48];
    int n = 0;
    for (int i = count; i < minDigits && n < 24; ++i) {
        digits[n++] = '0';
    }
    while (count > 0) {
        digits[n++] = reversed[--count];
    }
    const bool isSigned = c.type == 'd' || c.type == 'i';
    emitNumber(out, c, isSigned ? signFor(c, negative) : '\0', digits, n, c.precision < 0);
}

void emitFloat(Output& out, const Conversion& c, double value)
{
    if (std::isnan(value) || std::isinf(value)) {
        const char* text = std::isnan(value) ? "nan" : "inf";
        emitNumber(out, c, signFor(c, std::signbit(value)), text, 3, false);
        return;
    }
    const int precision = c.precision < 0 ? 6 : (c.precision > 9 ? 9 : c.precision);
    std::uint64_t scale = 1;
    for (int i = 0; i < precision; ++i) {
        scale *= 10;
    }
    const double magnitude = std::fabs(value);
    // Beyond 2^63 / 10^9 the fixed-point split below would overflow.
    const double limit = 9.2e9;
    const std::uint64_t total =
        static_cast<std::uint64_t>(std::llround((magnitude < limit ? magnitude : limit) * static_cast<double>(scale)));
    std::uint64_t integer = total / scale;
    std::uint64_t fraction = total % scale;

    char reversed[24];
    int count = 0;
    do {
        reversed[count++] = static_cast<char>('0' + integer % 10);
        integer /= 10;
    } while (integer != 0);
    char digits[40];
    int n = 0;
    while (count > 0) {
        digits[n++] = reversed[--count];
    }
    if (precision > 0) {
        digits[n++] = '.';
        for (int i = precision - 1; i >= 0; --i) {
            digits[n + i] = static_cast<char>('0' + fraction % 10);
            fraction /= 10;
        }
        n += precision;
    }
    const bool negative = std::signbit(value) && total != 0;
    emitNumber(out, c, signFor(c, negative), digits, n, true);
}

void emitString(Output& out, const Conversion& c, const UnicodeChar* text)
{
    int length = 0;
    if (text != nullptr) {
        while (text[length] != 0 && (c.precision < 0 || length < c.precision)) {
            ++length;
        }
    }
    const int padding = c.width > length ? c.width - length : 0;
    if (!c.left) {
        out.repeat(' ', padding);
    }
    for (int i = 0; i < length; ++i) {
        out.put(text[i]);
    }
    if (c.left) {
        out.repeat(' ', padding);
    }
}

int readNumber(const char*& p, ArgumentSource& args, bool& fromArgs)
{
    fromArgs = false;
    if (*p == '*') {
        ++p;
        fromArgs = true;
        return args.nextInt();
    }
    int value = 0;
    while (*p >= '0' && *p <= '9') {
        value = value * 10 + (*p++ - '0');
    }
    return value;
}

// Reads a conversion's flags, width and precision up to its type letter,
// which `p` is left at.
Conversion readConversion(const char*& p, ArgumentSource& args)
{
    Conversion c;
    for (;; ++p) {
        if (*p == '-') {
            c.left = true;
        } else if (*p == '0') {
            c.zero = true;
        } else if (*p == '+') {
            c.plus = true;
        } else if (*p == ' ') {
            c.space = true;
        } else {
            break;
        }
    }
    bool fromArgs = false;
    c.width = readNumber(p, args, fromArgs);
    if (c.width < 0) {
        c.left = true;
        c.width = -c.width;
    }
    if (*p == '.') {
        ++p;
        c.precision = readNumber(p, args, fromArgs);
        if (c.precision < 0) {
            c.precision = -1;
        }
    }
    c.type = *p;
    return c;
}

// False for a type letter it does not know.
bool emitConversion(Output& out, const Conversion& c, ArgumentSource& args)
{
    switch (c.type) {
    case 'd':
    case 'i': {
        const int value = args.nextInt();
        const std::int64_t wide = value;
        emitInteger(out, c, wide < 0, static_cast<std::uint64_t>(wide < 0 ? -wide : wide));
        return true;
    }
    case 'u':
    case 'x':
    case 'X':
        emitInteger(out, c, false, args.nextUnsigned());
        return true;
    case 'c': {
        const UnicodeChar single[2] = {static_cast<UnicodeChar>(args.nextInt()), 0};
        emitString(out, c, single);
        return true;
    }
    case 's':
        emitString(out, c, args.nextString());
        return true;
    case 'f':
        emitFloat(out, c, args.nextFloat());
        return true;
    default:
        return false;
    }
}

UnicodeChar* format(UnicodeChar* dst, std::uint16_t dstSize, const char* fmt, ArgumentSource& args)
{
    Output out(dst, dstSize);
    if (fmt == nullptr) {
        return out.finish();
    }
    const char* p = fmt;
    while (*p != 0) {
        if (*p != '%') {
            out.put(static_cast<unsigned char>(*p++));
            continue;
        }
        const char* start = p++;
        if (*p == '%') {
            out.put('%');
            ++p;
            continue;
        }
        const Conversion c = readConversion(p, args);
        if (c.type == 0) {
            break;
        }
        ++p;
        // What this source does not format is copied as written.
        if (!args.accepts(c.type) || !emitConversion(out, c, args)) {
            while (start < p) {
                out.put(static_cast<unsigned char>(*start++));
            }
        }
    }
    return out.finish();
}

} // namespace

std::uint16_t strlen(const UnicodeChar* text)
{
    std::uint16_t length = 0;
    if (text != nullptr) {
        while (text[length] != 0 && length < 0xFFFF) {
            ++length;
        }
    }
    return length;
}

std::uint16_t strncpy(UnicodeChar* dst, const char* src, std::uint16_t maxChars)
{
    std::uint16_t i = 0;
    for (; i < maxChars && src[i] != 0; ++i) {
        dst[i] = static_cast<unsigned char>(src[i]);
    }
    if (i < maxChars) {
        dst[i] = 0;
    }
    return i;
}

UnicodeChar* vsnprintf(UnicodeChar* dst, std::uint16_t dstSize, const char* fmt, std::va_list args)
{
    VariadicArguments source(args);
    return format(dst, dstSize, fmt, source);
}

UnicodeChar* snprintf(UnicodeChar* dst, std::uint16_t dstSize, const char* fmt, ...)
{
    std::va_list args;
    va_start(args, fmt);
    UnicodeChar* result = vsnprintf(dst, dstSize, fmt, args);
    va_end(args);
    return result;
}

UnicodeChar* snprintfFloats(UnicodeChar* dst, std::uint16_t dstSize, const char* fmt, const float* values)
{
    FloatArguments source(values);
    return format(dst, dstSize, fmt, source);
}

} // namespace ui::Unicode
