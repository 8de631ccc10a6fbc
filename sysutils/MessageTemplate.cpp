#include "sysutils/MessageTemplate.h"

#include <cstring>

namespace {

const int kMaxField = 256;  // widths and precisions beyond this are clipped

struct Spec {
    bool bLeft = false;
    bool bZero = false;
    bool bPlus = false;
    bool bSpace = false;
    bool bAlternate = false;
    int nWidth = 0;
    int nPrecision = -1;
};

int ReadNumber(const char*& p)
{
    int value = 0;
    while (*p >= '0' && *p <= '9') {
        if (value < kMaxField) value = value * 10 + (*p - '0');
        ++p;
    }
    return value < kMaxField ? value : kMaxField;
}

std::string Digits(uint64_t value, unsigned base, bool upper)
{
    const char* digits = upper ? "0123456789ABCDEF" : "0123456789abcdef";
    char buffer[72];
    int at = sizeof(buffer);
    do {
        buffer[--at] = digits[value % base];
        value /= base;
    } while (value);
    return std::string(buffer + at, sizeof(buffer) - at);
}

std::string Pad(const std::string& body, const std::string& sign, const Spec& spec, bool zeroAllowed)
{
    const size_t length = sign.size() + body.size();
    const size_t width = static_cast<size_t>(spec.nWidth);
    if (length >= width) return sign + body;
    const std::string fill(width - length, ' ');
    if (spec.bLeft) return sign + body + fill;
    if (spec.bZero && zeroAllowed) return sign + std::string(width - length, '0') + body;
    return fill + sign + body;
}

std::string Number(char conversion, int64_t value, const Spec& spec)
{
    std::string sign, body;
    uint64_t magnitude;
    if (conversion == 'd' || conversion == 'i') {
        // The C library's %d shows the low 32 bits as a signed number.
        const int32_t signedValue = static_cast<int32_t>(value);
        magnitude = signedValue < 0 ? uint64_t(-int64_t(signedValue)) : uint64_t(signedValue);
        if (signedValue < 0)
            sign = "-";
        else if (spec.bPlus)
            sign = "+";
        else if (spec.bSpace)
            sign = " ";
        body = Digits(magnitude, 10, false);
    } else {
        magnitude = static_cast<uint32_t>(value);
        unsigned base = 10;
        if (conversion == 'x' || conversion == 'X' || conversion == 'p') base = 16;
        if (conversion == 'o') base = 8;
        body = Digits(magnitude, base, conversion == 'X' || conversion == 'p');
        if (conversion == 'p' && spec.nPrecision < 0 && body.size() < 8) body.insert(0, 8 - body.size(), '0');
        if (spec.bAlternate && magnitude) {
            if (base == 16) sign = conversion == 'X' ? "0X" : "0x";
            if (base == 8) body.insert(0, "0");
        }
    }
    if (spec.nPrecision >= 0) {
        if (spec.nPrecision == 0 && magnitude == 0) body.clear();
        if (body.size() < static_cast<size_t>(spec.nPrecision)) body.insert(0, spec.nPrecision - body.size(), '0');
    }
    return Pad(body, sign, spec, spec.nPrecision < 0);
}

std::string Text(const std::string& text, const Spec& spec)
{
    std::string body = text;
    if (spec.nPrecision >= 0 && body.size() > static_cast<size_t>(spec.nPrecision)) body.resize(spec.nPrecision);
    return Pad(body, std::string(), spec, false);
}

std::string Convert(char conversion, const MessageTemplate::Arg* arg, const Spec& spec)
{
    if (!arg) return std::string();
    if (conversion == 's') return Text(arg->bNumber ? Number('d', arg->nValue, Spec()) : arg->strText, spec);
    if (!arg->bNumber) return Text(arg->strText, spec);
    if (conversion == 'c') {
        const char character = static_cast<char>(arg->nValue);
        return Text(character ? std::string(1, character) : std::string(), spec);
    }
    return Number(conversion, arg->nValue, spec);
}

// Reads what follows a '%' (not "%%"): flags, width, precision, length
// letters and the conversion letter (0 at the end of the text). `plain` says
// that nothing but digits stood for width and precision and at most "h" or
// "l" for the length.
const char* ReadConversion(const char* p, Spec& spec, char& conversion, bool& plain)
{
    plain = true;
    for (;; ++p) {
        if (*p == '-') spec.bLeft = true;
        else if (*p == '0') spec.bZero = true;
        else if (*p == '+') spec.bPlus = true;
        else if (*p == ' ') spec.bSpace = true;
        else if (*p == '#') spec.bAlternate = true;
        else break;
    }
    if (*p == '*') {
        plain = false;
        ++p;
    } else {
        spec.nWidth = ReadNumber(p);
    }
    if (*p == '.') {
        ++p;
        if (*p == '*') {
            plain = false;
            ++p;
        } else {
            spec.nPrecision = ReadNumber(p);
        }
    }
    int lengthLetters = 0;
    for (;;) {
        if (std::strncmp(p, "I64", 3) == 0 || std::strncmp(p, "I32", 3) == 0) {
            plain = false;
            p += 3;
        } else if (*p && std::strchr("hlLqjztI", *p)) {
            if ((*p != 'h' && *p != 'l') || ++lengthLetters > 1) plain = false;
            ++p;
        } else {
            break;
        }
    }
    conversion = *p;
    return p;
}

bool IsNumberConversion(char conversion)
{
    return conversion && std::strchr("diuxXo", conversion);
}

} // namespace

std::string MessageTemplate::Format(const char* pattern, const std::vector<Arg>& args, size_t maxLength)
{
    std::string out;
    if (!pattern) return out;
    size_t next = 0;
    const char* p = pattern;
    while (*p && out.size() < maxLength) {
        if (*p != '%') {
            const char* end = std::strchr(p, '%');
            const size_t run = end ? static_cast<size_t>(end - p) : std::strlen(p);
            out.append(p, run);
            p += run;
            continue;
        }
        const char* start = p++;
        if (*p == '%') {
            out += '%';
            ++p;
            continue;
        }
        Spec spec;
        char conversion = 0;
        bool plain = true;
        p = ReadConversion(p, spec, conversion, plain);
        if (conversion && std::strchr("diuxXocsp", conversion)) {
            ++p;
            out += Convert(conversion, next < args.size() ? &args[next] : nullptr, spec);
            ++next;
        } else {
            // Not a conversion: the text stays as written.
            out.append(start, p - start);
        }
    }
    if (out.size() > maxLength) out.resize(maxLength);
    return out;
}

bool MessageTemplate::Matches(const char* pattern, const std::vector<Arg>& args)
{
    if (!pattern) return false;
    size_t next = 0;
    for (const char* p = pattern; *p;) {
        if (*p++ != '%') continue;
        if (*p == '%') {
            ++p;
            continue;
        }
        Spec spec;
        char conversion = 0;
        bool plain = true;
        p = ReadConversion(p, spec, conversion, plain);
        if (!plain || next >= args.size()) return false;
        const Arg& arg = args[next++];
        if (arg.bNumber ? !IsNumberConversion(conversion) : conversion != 's') return false;
        if (conversion == 's' && (p[-1] == 'h' || p[-1] == 'l')) return false;  // %hs, %ls
        ++p;
    }
    return next == args.size();
}

std::string MessageTemplate::FormatChecked(const char* pattern, const char* fallback, const std::vector<Arg>& args,
                                           size_t maxLength)
{
    return Format(Matches(pattern, args) ? pattern : fallback, args, maxLength);
}
