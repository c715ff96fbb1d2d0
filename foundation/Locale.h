#pragma once

#include "foundation/String.h"

#include <cstdint>
#include <memory>

class Date;
class Time;

// Where a Locale reads its texts. The platform's locale information service
// by default; tests and other callers can give fixed answers instead.
class LocaleSource {
public:
    virtual ~LocaleSource() = default;
    // The platform locale identifier these texts describe.
    virtual std::uint32_t localeId() const = 0;
    // The text of one information type (a platform LOCALE_* number); empty
    // when unknown.
    virtual String text(std::uint32_t type) const = 0;
};

// The user's regional conventions: number symbols, month and day names,
// AM/PM texts and date and time patterns. Formats dates and times with the
// pattern language below and reads numbers written with the locale's
// symbols. Float and double texts always use "." as the decimal point.
//
// Date patterns: yyyy year, yy its third and fourth digits, MMMM / MMM full /
// abbreviated month name, MM / M month with / without a leading zero, dddd /
// ddd full / abbreviated weekday name, dd / d day. Time patterns: AP / ap the
// AM or PM text as it stands / in lower case wherever the pair begins ("AAP"
// is "A" and the designator), and the hour then on the 12-hour clock; hh / h
// hour, mm / m minute, ss / s second, zzz / z millisecond. Text in single
// quotes is copied without the quotes; two single quotes give one. The
// pattern is read in one pass, so names already inserted are never taken for
// pattern letters.
class Locale {
public:
    // The user's default locale.
    Locale();
    // Reads everything from source, which must outlive this Locale.
    explicit Locale(const LocaleSource& source);
    ~Locale();
    Locale(const Locale&) = delete;
    Locale& operator=(const Locale&) = delete;

    // The process-wide user locale, built on first use. The first use must
    // happen on the UI thread before other threads format text.
    static Locale& system();

    // The platform's locale text for a type; empty when the call fails.
    static String info(std::uint32_t localeId, std::uint32_t type);
    // The identifier of a name such as "de-DE"; the user default when the
    // name is empty or unknown. exact refuses an approximate match.
    static std::uint32_t localeNameToLcid(const String& name, bool exact);

    String englishLanguageName() const;
    String localizedLanguageName() const;
    String languageCode() const;
    String englishCountryName() const;
    String localizedCountryName() const;
    String countryCode() const;
    // Language code, then "-" and the country code when there is one.
    String name() const;
    String amText() const;
    String pmText() const;
    bool uses24HourClock() const;
    bool usesNonMetricSystem() const;
    // 1 Monday ... 7 Sunday.
    int firstDayOfWeek() const;
    // Month 1-12, weekday 1 Monday ... 7 Sunday; empty outside those.
    String monthName(int month, bool abbreviated) const;
    String dayName(int weekday, bool abbreviated) const;

    // Kind 1 short, any other kind long, turned into the pattern language above.
    String datePattern(int kind) const;
    String timePattern() const;
    // Empty for an invalid date or time (or an hour above 23) or an empty pattern.
    String formatDate(const Date& date, const String& pattern) const;
    String formatDate(const Date& date, int kind) const;
    String formatTime(const Time& time, const String& pattern) const;
    String formatTime(const Time& time) const;

    // The symbols, read once; 0 where the locale has none.
    wchar_t percentSign() const;
    wchar_t zeroDigit() const;
    wchar_t positiveSign() const;
    wchar_t negativeSign() const;
    wchar_t decimalPoint() const;
    wchar_t groupSeparator() const;

    // Fixed notation with precision (0-9) decimals and "." as the point;
    // empty for another precision, a NaN or a value outside (-1e20, 1e20).
    String toString(double value, int precision) const;
    String toString(float value, int precision) const;
    // Reads a number written with this locale's symbols, as the user types
    // it; 0.0 and ok false when the text is not a number. ok may be null.
    // Stored numbers read with String::toDouble, which ignores the locale.
    double toDouble(const String& text, bool* ok = nullptr) const;
    float toFloat(const String& text, bool* ok = nullptr) const;

    bool isUserDefault() const;

private:
    struct Private;
    std::unique_ptr<Private> d;
};

// Byte-size units returned by formatByteSize.
enum ByteSizeUnit : int { ByteUnit = 0, KiloByteUnit = 1, MegaByteUnit = 2, GigaByteUnit = 3, TeraByteUnit = 4 };

// The number part of a byte size followed by a blank ("1.50 " for 1536
// bytes); the caller adds the word for the unit stored in unit.
String formatByteSize(std::uint64_t bytes, int& unit);
