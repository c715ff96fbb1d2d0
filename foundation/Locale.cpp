#include "foundation/Locale.h"

#include "foundation/CharHelpers.h"
#include "foundation/DateTime.h"

#include <windows.h>

#include <cstdio>
#include <cwchar>

namespace {

constexpr wchar_t kQuote = L'\'';
constexpr wchar_t kNoBreakSpace = 0x00A0;

// Windows 7 (6.1) is the first version whose percent sign can be asked for.
bool platformKnowsPercentSign()
{
    OSVERSIONINFOW version = {};
    version.dwOSVersionInfoSize = sizeof version;
    if (!GetVersionExW(&version))
        return false;
    return version.dwMajorVersion > 6 || (version.dwMajorVersion == 6 && version.dwMinorVersion >= 1);
}

class PlatformLocaleSource final : public LocaleSource {
public:
    std::uint32_t localeId() const override { return m_localeId; }

    String text(std::uint32_t type) const override
    {
        if (type == LOCALE_SPERCENT && !platformKnowsPercentSign())
            return String(L"%");
        return Locale::info(m_localeId, type);
    }

private:
    std::uint32_t m_localeId = GetUserDefaultLCID();
};

wchar_t firstChar(const String& text)
{
    return text.isEmpty() ? 0 : text.first();
}

int runLength(const String& pattern, int start)
{
    int end = start + 1;
    while (end < pattern.length() && pattern[end] == pattern[start])
        ++end;
    return end - start;
}

// Index just past the quoted literal opening at start; two quotes inside it
// stand for one. An unclosed literal runs to the end of the pattern.
int quotedEnd(const String& pattern, int start)
{
    int i = start + 1;
    while (i < pattern.length()) {
        if (pattern[i] != kQuote) {
            ++i;
            continue;
        }
        if (i + 1 < pattern.length() && pattern[i + 1] == kQuote) {
            i += 2;
            continue;
        }
        return i + 1;
    }
    return i;
}

// Appends the literal opening at start without its quotes and returns the
// index after it. A bare "''" is one quote.
int appendQuoted(const String& pattern, int start, String& out)
{
    const int end = quotedEnd(pattern, start);
    if (end == start + 2 && pattern[start + 1] == kQuote) {
        out.append(kQuote);
        return end;
    }
    for (int i = start + 1; i < end; ++i) {
        if (pattern[i] != kQuote) {
            out.append(pattern[i]);
            continue;
        }
        if (i + 1 < end && pattern[i + 1] == kQuote) {
            out.append(kQuote);
            ++i;
        }
    }
    return end;
}

// Copies a quoted literal of a raw platform pattern unchanged.
int copyQuoted(const String& pattern, int start, String& out)
{
    const int end = quotedEnd(pattern, start);
    out.append(pattern.charPointer(start), end - start);
    return end;
}

void appendNumber(String& out, int value, int width)
{
    const String digits = String::number(value);
    if (digits.length() < width)
        out.appendRepeated(L'0', width - digits.length());
    out.append(digits);
}

// A run of n letters reads as n / 2 two-digit fields and, when n is odd,
// one plain field, as the pattern "hhh" is "hh" followed by "h".
void appendPairedField(String& out, int value, int run)
{
    for (int k = 0; k < run / 2; ++k)
        appendNumber(out, value, 2);
    if (run % 2)
        appendNumber(out, value, 1);
}

void appendYearField(String& out, int year, int run)
{
    const String full = String::number(year);
    for (int k = 0; k < run / 4; ++k)
        out.append(full);
    if (run % 4 >= 2 && full.length() > 2)
        out.append(full.charPointer(2), full.length() > 3 ? 2 : 1);
    if (run % 2)
        out.append(L'y');
}

// "MMMM" / "dddd" full name, "MMM" / "ddd" abbreviated, "MM" / "dd" two
// digits, "M" / "d" plain; longer runs are read four letters at a time.
void appendNamedField(String& out, int value, int run, const String& fullName, const String& shortName)
{
    for (int k = 0; k < run / 4; ++k)
        out.append(fullName);
    switch (run % 4) {
    case 3:
        out.append(shortName);
        break;
    case 2:
        appendNumber(out, value, 2);
        break;
    case 1:
        appendNumber(out, value, 1);
        break;
    default:
        break;
    }
}

void appendMilliseconds(String& out, int value, int run)
{
    for (int k = 0; k < run / 3; ++k)
        appendNumber(out, value, 3);
    for (int k = 0; k < run % 3; ++k)
        appendNumber(out, value, 1);
}

bool isDesignatorAt(const String& pattern, int i)
{
    if (i + 1 >= pattern.length())
        return false;
    const wchar_t a = pattern[i], b = pattern[i + 1];
    return (a == L'A' && b == L'P') || (a == L'a' && b == L'p');
}

bool isTimeFieldLetter(wchar_t c)
{
    return c == L'h' || c == L'm' || c == L's' || c == L'z';
}

bool holdsDesignator(const String& pattern)
{
    int i = 0;
    while (i < pattern.length()) {
        if (pattern[i] == kQuote) {
            i = quotedEnd(pattern, i);
            continue;
        }
        if (isDesignatorAt(pattern, i))
            return true;
        ++i;
    }
    return false;
}

// The symbols a number text is written with; 0 where there is none.
struct NumberSymbols {
    wchar_t zeroDigit = 0;
    wchar_t positiveSign = 0;
    wchar_t negativeSign = 0;
    wchar_t decimalPoint = 0;
    wchar_t groupSeparator = 0;
};

// Every number the program stores as text: "." as the decimal point and no
// grouping, whatever the user's locale, so a file reads back the same
// everywhere.
constexpr NumberSymbols kStoredNumberSymbols{L'0', L'+', L'-', L'.', 0};

// Maps one character of a number text to its C-library form, or 0 when the
// character ends the number.
wchar_t toCNumberChar(wchar_t c, const NumberSymbols& symbols)
{
    const wchar_t zero = symbols.zeroDigit;
    if (zero != 0 && c >= zero && c <= zero + 9)
        return static_cast<wchar_t>(L'0' + (c - zero));
    if (c >= L'0' && c <= L'9')
        return c;
    if (c == symbols.positiveSign && c != 0)
        return L'+';
    if (c == symbols.negativeSign && c != 0)
        return L'-';
    if (c == symbols.decimalPoint && c != 0)
        return L'.';
    if (c == symbols.groupSeparator && c != 0)
        return L',';
    if (c == L' ' && symbols.groupSeparator == kNoBreakSpace)
        return L',';
    if (c == L'+' || c == L'-' || c == L'.' || c == L',')
        return c;
    return 0;
}

bool onlySpaceFrom(const String& text, int start)
{
    for (int i = start; i < text.length(); ++i) {
        if (!isSpaceChar(text[i]))
            return false;
    }
    return true;
}

// The text in the C library's number form; false when it is blank or holds
// something other than white space after the number.
bool toCNumberText(const String& text, const NumberSymbols& symbols, String& out)
{
    int i = 0;
    while (i < text.length() && isSpaceChar(text[i]))
        ++i;
    if (i == text.length())
        return false;
    for (; i < text.length(); ++i) {
        const wchar_t c = toCNumberChar(text[i], symbols);
        if (c == 0)
            return onlySpaceFrom(text, i);
        out.append(c);
    }
    return true;
}

// The C runtime reads the converted text in its own locale, which stays "C"
// (nothing calls setlocale), so "." is its point.
double readNumber(const String& text, const NumberSymbols& symbols, bool* ok)
{
    if (ok)
        *ok = false;
    String cText;
    const String& source = symbols.groupSeparator == kNoBreakSpace ? text.trimmed() : text;
    if (!toCNumberText(source, symbols, cText) || cText.isEmpty())
        return 0.0;
    wchar_t* end = nullptr;
    const double value = std::wcstod(cText.c_str(), &end);
    // A sign or point alone is no number.
    if (end == cText.c_str())
        return 0.0;
    if (ok)
        *ok = true;
    return value;
}

// The C runtime's "%.Nf", whose point is "." in the "C" locale it stays in.
String fixedNotation(double value, int precision)
{
    if (precision < 0 || precision > 9 || !(value > -1e20 && value < 1e20))
        return String();
    char buffer[47];
    const int written = std::snprintf(buffer, sizeof buffer, "%.*f", precision, value);
    if (written <= 0 || written >= static_cast<int>(sizeof buffer))
        return String();
    String text;
    text.reserve(written);
    for (int i = 0; i < written; ++i)
        text.append(static_cast<wchar_t>(buffer[i]));
    return text;
}

using LocaleNameToLcidFunction = LCID(WINAPI*)(LPCWSTR, DWORD);
using Rfc1766ToLcidFunction = HRESULT(WINAPI*)(LCID*, LPCWSTR);

template <typename Function>
Function findFunction(HMODULE module, const char* name)
{
    if (!module)
        return nullptr;
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

// Systems older than Vista have no LocaleNameToLCID; the multi-language
// service reads the same names there. S_FALSE marks an approximate match.
std::uint32_t lcidFromMultiLanguage(const String& name, bool exact)
{
    HMODULE module = LoadLibraryW(L"mlang.dll");
    auto rfc1766ToLcid = findFunction<Rfc1766ToLcidFunction>(module, "Rfc1766ToLcidW");
    LCID id = 0;
    const HRESULT result = rfc1766ToLcid ? rfc1766ToLcid(&id, name.c_str()) : E_FAIL;
    if (module)
        FreeLibrary(module);
    if (result == S_OK || (result == S_FALSE && !exact))
        return id;
    return GetUserDefaultLCID();
}

} // namespace

struct Locale::Private {
    PlatformLocaleSource platform;
    const LocaleSource* source = &platform;
    wchar_t percentSign = 0;
    NumberSymbols number;

    String text(std::uint32_t type) const { return source->text(type); }

    void readSymbols()
    {
        percentSign = firstChar(text(LOCALE_SPERCENT));
        number.zeroDigit = firstChar(text(LOCALE_SNATIVEDIGITS));
        number.positiveSign = firstChar(text(LOCALE_SPOSITIVESIGN));
        number.negativeSign = firstChar(text(LOCALE_SNEGATIVESIGN));
        number.decimalPoint = firstChar(text(LOCALE_SDECIMAL));
        number.groupSeparator = firstChar(text(LOCALE_STHOUSAND));
    }
};

Locale::Locale() : d(std::make_unique<Private>())
{
    d->readSymbols();
}

Locale::Locale(const LocaleSource& source) : d(std::make_unique<Private>())
{
    d->source = &source;
    d->readSymbols();
}

Locale::~Locale() = default;

Locale& Locale::system()
{
    static Locale instance;
    return instance;
}

String Locale::info(std::uint32_t localeId, std::uint32_t type)
{
    constexpr int kBufferSize = 1024;
    wchar_t buffer[kBufferSize];
    const int written = GetLocaleInfoW(localeId, type, buffer, kBufferSize - 1);
    if (written <= 0 || written >= kBufferSize)
        return String();
    buffer[written - 1] = 0;
    return String(buffer);
}

std::uint32_t Locale::localeNameToLcid(const String& name, bool exact)
{
    if (name.isEmpty())
        return GetUserDefaultLCID();
    auto localeNameToLcid = findFunction<LocaleNameToLcidFunction>(GetModuleHandleW(L"kernel32"), "LocaleNameToLCID");
    if (!localeNameToLcid)
        return lcidFromMultiLanguage(name, exact);
    const LCID id = localeNameToLcid(name.c_str(), 0);
    return id ? id : GetUserDefaultLCID();
}

String Locale::englishLanguageName() const
{
    return d->text(LOCALE_SENGLANGUAGE);
}

String Locale::localizedLanguageName() const
{
    return d->text(LOCALE_SLANGUAGE);
}

String Locale::languageCode() const
{
    return d->text(LOCALE_SISO639LANGNAME);
}

String Locale::englishCountryName() const
{
    return d->text(LOCALE_SENGCOUNTRY);
}

String Locale::localizedCountryName() const
{
    return d->text(LOCALE_SCOUNTRY);
}

String Locale::countryCode() const
{
    return d->text(LOCALE_SISO3166CTRYNAME);
}

String Locale::name() const
{
    String result = languageCode();
    const String country = countryCode();
    if (!country.isEmpty())
        result.append(L'-').append(country);
    return result;
}

String Locale::amText() const
{
    return d->text(LOCALE_S1159);
}

String Locale::pmText() const
{
    return d->text(LOCALE_S2359);
}

bool Locale::uses24HourClock() const
{
    return d->text(LOCALE_ITIME) != L"0";
}

bool Locale::usesNonMetricSystem() const
{
    return d->text(LOCALE_IMEASURE) != L"0";
}

// The platform counts 0 Monday ... 6 Sunday.
int Locale::firstDayOfWeek() const
{
    const wchar_t c = firstChar(d->text(LOCALE_IFIRSTDAYOFWEEK));
    if (c < L'0' || c > L'6')
        return 1;
    return c - L'0' + 1;
}

String Locale::monthName(int month, bool abbreviated) const
{
    if (month < 1 || month > 12)
        return String();
    const std::uint32_t first = abbreviated ? LOCALE_SABBREVMONTHNAME1 : LOCALE_SMONTHNAME1;
    return d->text(first + month - 1);
}

String Locale::dayName(int weekday, bool abbreviated) const
{
    if (weekday < 1 || weekday > 7)
        return String();
    const std::uint32_t first = abbreviated ? LOCALE_SABBREVDAYNAME1 : LOCALE_SDAYNAME1;
    return d->text(first + weekday - 1);
}

// Drops the era ("g"), keeps at most four "y" and widens a lone "y" to "yy"
// unless it ends the pattern.
String Locale::datePattern(int kind) const
{
    const String raw = d->text(kind == 1 ? LOCALE_SSHORTDATE : LOCALE_SLONGDATE);
    String pattern;
    int years = 0;
    int i = 0;
    while (i < raw.length()) {
        const wchar_t c = raw[i];
        if (c == L'y') {
            if (years < 4) {
                pattern.append(c);
                ++years;
            }
            ++i;
            continue;
        }
        if (years == 1) {
            pattern.append(L'y');
            ++years;
        }
        if (c == kQuote) {
            i = copyQuoted(raw, i, pattern);
            continue;
        }
        if (c != L'g')
            pattern.append(c);
        ++i;
    }
    return pattern;
}

// "H" becomes "h" and the first "t" the designator "AP"; later "t" go.
String Locale::timePattern() const
{
    const String raw = d->text(LOCALE_STIMEFORMAT);
    String pattern;
    bool designatorDone = false;
    int i = 0;
    while (i < raw.length()) {
        const wchar_t c = raw[i];
        if (c == kQuote) {
            i = copyQuoted(raw, i, pattern);
            continue;
        }
        ++i;
        if (c == L'H') {
            pattern.append(L'h');
        } else if (c != L't') {
            pattern.append(c);
        } else if (!designatorDone) {
            pattern.append(L"AP");
            designatorDone = true;
        }
    }
    return pattern;
}

String Locale::formatDate(const Date& date, const String& pattern) const
{
    if (!date.isValid() || pattern.isEmpty())
        return String();
    String out;
    int i = 0;
    while (i < pattern.length()) {
        const wchar_t c = pattern[i];
        if (c == kQuote) {
            i = appendQuoted(pattern, i, out);
            continue;
        }
        const int run = runLength(pattern, i);
        if (c == L'y')
            appendYearField(out, date.year(), run);
        else if (c == L'M')
            appendNamedField(out, date.month(), run, monthName(date.month(), false), monthName(date.month(), true));
        else if (c == L'd')
            appendNamedField(out, date.day(), run, dayName(date.dayOfWeek(), false), dayName(date.dayOfWeek(), true));
        else
            out.appendRepeated(c, run);
        i += run;
    }
    return out;
}

String Locale::formatDate(const Date& date, int kind) const
{
    return formatDate(date, datePattern(kind));
}

String Locale::formatTime(const Time& time, const String& pattern) const
{
    if (!time.isValid() || time.hour() > 23 || pattern.isEmpty())
        return String();
    bool pm = false;
    const bool twelveHour = holdsDesignator(pattern);
    const int hour = twelveHour ? time.hour12(&pm) : time.hour();
    const String designator = pm ? pmText() : amText();
    String out;
    int i = 0;
    while (i < pattern.length()) {
        const wchar_t c = pattern[i];
        if (c == kQuote) {
            i = appendQuoted(pattern, i, out);
            continue;
        }
        if (isDesignatorAt(pattern, i)) {
            out.append(c == L'A' ? designator : designator.toLower());
            i += 2;
            continue;
        }
        // Other characters go one at a time: a designator may begin at the
        // last letter of a run such as "AAP".
        if (!isTimeFieldLetter(c)) {
            out.append(c);
            ++i;
            continue;
        }
        const int run = runLength(pattern, i);
        if (c == L'h')
            appendPairedField(out, hour, run);
        else if (c == L'm')
            appendPairedField(out, time.minute(), run);
        else if (c == L's')
            appendPairedField(out, time.second(), run);
        else
            appendMilliseconds(out, time.millisecond(), run);
        i += run;
    }
    return out;
}

String Locale::formatTime(const Time& time) const
{
    return formatTime(time, timePattern());
}

wchar_t Locale::percentSign() const
{
    return d->percentSign;
}

wchar_t Locale::zeroDigit() const
{
    return d->number.zeroDigit;
}

wchar_t Locale::positiveSign() const
{
    return d->number.positiveSign;
}

wchar_t Locale::negativeSign() const
{
    return d->number.negativeSign;
}

wchar_t Locale::decimalPoint() const
{
    return d->number.decimalPoint;
}

wchar_t Locale::groupSeparator() const
{
    return d->number.groupSeparator;
}

String Locale::toString(double value, int precision) const
{
    return fixedNotation(value, precision);
}

String Locale::toString(float value, int precision) const
{
    return toString(static_cast<double>(value), precision);
}

double Locale::toDouble(const String& text, bool* ok) const
{
    return readNumber(text, d->number, ok);
}

float Locale::toFloat(const String& text, bool* ok) const
{
    return static_cast<float>(toDouble(text, ok));
}

bool Locale::isUserDefault() const
{
    return d->source->localeId() == GetUserDefaultLCID();
}

String formatByteSize(std::uint64_t bytes, int& unit)
{
    const double value = static_cast<double>(bytes);
    constexpr double kUnitSizes[] = {1.0, 1024.0, 1048576.0, 1073741824.0, 1099511627776.0};
    for (unit = TeraByteUnit; unit > ByteUnit; --unit) {
        if (value > kUnitSizes[unit])
            return String::number(value / kUnitSizes[unit], 2) + L" ";
    }
    return String::number(static_cast<unsigned long long>(bytes)) + L" ";
}

// ---- Float and double texts of String ----

// Stored texts never touch the system Locale, so any thread may write and
// read them before the UI thread has built it.
String String::number(float value, int precision)
{
    return fixedNotation(value, precision);
}

String String::number(double value, int precision)
{
    return fixedNotation(value, precision);
}

float String::toFloat() const
{
    return static_cast<float>(toDouble());
}

double String::toDouble() const
{
    return readNumber(*this, kStoredNumberSymbols, nullptr);
}
