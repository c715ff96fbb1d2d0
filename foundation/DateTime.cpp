#include "foundation/DateTime.h"

#include "foundation/Locale.h"

#include <windows.h>

#include <climits>
#include <ctime>

namespace {

constexpr int kMonthLengths[2][13] = {
    {0, 31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31},
    {0, 31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31},
};

constexpr std::int64_t kMsPerSecond = 1000;
constexpr std::int64_t kMsPerMinute = 60 * kMsPerSecond;
constexpr std::int64_t kMsPerHour = 60 * kMsPerMinute;
constexpr std::int64_t kMsPerDay = 24 * kMsPerHour;
// 1970-01-01 in 100-ns units since 1601-01-01.
constexpr std::int64_t kUnixEpochFileTime = 116444736000000000LL;

// Years any valid date can move before it leaves the calendar; larger
// counts are cut here so a huge count neither loops for long nor overflows.
constexpr int kMaxCalendarSteps = 20000;

int clampedDayNumber(std::int64_t dayNumber)
{
    if (dayNumber > INT_MAX)
        return INT_MAX;
    if (dayNumber < INT_MIN)
        return INT_MIN;
    return static_cast<int>(dayNumber);
}

int compareInts(int a, int b)
{
    if (a == b)
        return 0;
    return a > b ? 1 : -1;
}

// The platform's calendar record carries a weekday (0 Sunday) between month
// and day; it is filled on the way out and ignored on the way in.
bool toSystemTime(const DateTime& value, SYSTEMTIME& out)
{
    if (!value.isValid() || value.hour() > 23)
        return false;
    out.wYear = static_cast<WORD>(value.year());
    out.wMonth = static_cast<WORD>(value.month());
    out.wDayOfWeek = static_cast<WORD>(value.date().dayOfWeek() % 7);
    out.wDay = static_cast<WORD>(value.day());
    out.wHour = static_cast<WORD>(value.hour());
    out.wMinute = static_cast<WORD>(value.minute());
    out.wSecond = static_cast<WORD>(value.second());
    out.wMilliseconds = static_cast<WORD>(value.millisecond());
    return true;
}

DateTime fromSystemTime(const SYSTEMTIME& st)
{
    return DateTime(st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond, st.wMilliseconds);
}

SYSTEMTIME clockReading(bool local)
{
    SYSTEMTIME st;
    if (local)
        GetLocalTime(&st);
    else
        GetSystemTime(&st);
    return st;
}

std::uint64_t fromFILETIME(const FILETIME& ft)
{
    return (static_cast<std::uint64_t>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime;
}

FILETIME toFILETIME(std::uint64_t value)
{
    FILETIME ft;
    ft.dwLowDateTime = static_cast<DWORD>(value);
    ft.dwHighDateTime = static_cast<DWORD>(value >> 32);
    return ft;
}

const FILETIME& pickFileTime(const WIN32_FIND_DATAW& data, int kind)
{
    if (kind == DateTime::CreationTime)
        return data.ftCreationTime;
    if (kind == DateTime::LastAccessTime)
        return data.ftLastAccessTime;
    return data.ftLastWriteTime;
}

// A find-first search would let wildcards answer with another file's time.
bool isSearchablePath(const String& path)
{
    return !path.isEmpty() && path.length() < MAX_PATH && !path.contains(L'*') && !path.contains(L'?');
}

class FileHandle {
public:
    FileHandle(const String& path, DWORD access, DWORD share)
        : m_handle(CreateFileW(path.c_str(), access, share, nullptr, OPEN_EXISTING,
                               FILE_FLAG_BACKUP_SEMANTICS, nullptr))
    {
    }
    ~FileHandle()
    {
        if (isOpen())
            CloseHandle(m_handle);
    }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;

    bool isOpen() const { return m_handle != INVALID_HANDLE_VALUE; }
    HANDLE get() const { return m_handle; }

private:
    HANDLE m_handle;
};

} // namespace

// ---- Date ----

void Date::set(int year, int month, int day)
{
    m_year = year;
    m_month = month;
    m_day = day;
}

void Date::get(int* year, int* month, int* day) const
{
    if (year)
        *year = m_year;
    if (month)
        *month = m_month;
    if (day)
        *day = m_day;
}

int Date::compare(const Date& other) const
{
    if (m_year != other.m_year)
        return compareInts(m_year, other.m_year);
    if (m_month != other.m_month)
        return compareInts(m_month, other.m_month);
    return compareInts(m_day, other.m_day);
}

bool Date::isValid(int year, int month, int day)
{
    if (year < 0 || year > 9999 || month < 1 || month > 12)
        return false;
    return day >= 1 && day <= daysInMonth(year, month);
}

bool Date::isLeapYear(int year)
{
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int Date::daysInYear(int year)
{
    return isLeapYear(year) ? 366 : 365;
}

int Date::daysInMonth(int year, int month)
{
    if (month < 1 || month > 12)
        return 0;
    return kMonthLengths[isLeapYear(year) ? 1 : 0][month];
}

// Fliegel and Van Flandern, with truncating integer division.
int Date::toJulianDay() const
{
    const std::int64_t y = m_year, m = m_month, d = m_day;
    const std::int64_t a = (m - 14) / 12;
    return static_cast<int>(1461 * (y + 4800 + a) / 4 + 367 * (m - 2 - 12 * a) / 12
                            - 3 * ((y + 4900 + a) / 100) / 4 + d - 32075);
}

Date Date::fromJulianDay(int julianDay)
{
    std::int64_t l = static_cast<std::int64_t>(julianDay) + 68569;
    const std::int64_t n = 4 * l / 146097;
    l = l - (146097 * n + 3) / 4;
    const std::int64_t i = 4000 * (l + 1) / 1461001;
    l = l - 1461 * i / 4 + 31;
    const std::int64_t j = 80 * l / 2447;
    const std::int64_t day = l - 2447 * j / 80;
    l = j / 11;
    const std::int64_t month = j + 2 - 12 * l;
    const std::int64_t year = 100 * (n - 49) + i + l;
    return Date(static_cast<int>(year), static_cast<int>(month), static_cast<int>(day));
}

Date& Date::addDays(int days)
{
    *this = fromJulianDay(clampedDayNumber(static_cast<std::int64_t>(toJulianDay()) + days));
    return *this;
}

Date& Date::addMonths(int months)
{
    std::int64_t dayNumber = toJulianDay();
    int year = m_year;
    int month = m_month;
    for (int k = 0; k < months && k < kMaxCalendarSteps * 12; ++k) {
        if (++month > 12) {
            month = 1;
            ++year;
        }
        dayNumber += daysInMonth(year, month);
    }
    *this = fromJulianDay(clampedDayNumber(dayNumber));
    return *this;
}

Date& Date::addYears(int years)
{
    std::int64_t dayNumber = toJulianDay();
    for (int k = 1; k <= years && k <= kMaxCalendarSteps; ++k)
        dayNumber += daysInYear(m_year + k);
    *this = fromJulianDay(clampedDayNumber(dayNumber));
    return *this;
}

int Date::daysTo(const Date& other) const
{
    return other.toJulianDay() - toJulianDay();
}

// The day number counts on by one weekday a day and day 0 was a Monday. This
// agrees with the century-code table for 1400-2599 and stays right outside it.
int Date::dayOfWeek() const
{
    const int jd = toJulianDay();
    const int r = jd % 7;
    return (r < 0 ? r + 7 : r) + 1;
}

int Date::dayOfYear() const
{
    int days = m_day;
    for (int m = 1; m < m_month && m <= 12; ++m)
        days += daysInMonth(m_year, m);
    return days;
}

bool Date::isToday() const
{
    return *this == currentLocal();
}

bool Date::isYesterday() const
{
    return toJulianDay() == currentLocal().toJulianDay() - 1;
}

bool Date::isTodayUtc() const
{
    return *this == currentUtc();
}

bool Date::isYesterdayUtc() const
{
    return toJulianDay() == currentUtc().toJulianDay() - 1;
}

Date Date::current(bool local)
{
    return DateTime::current(local).date();
}

String Date::toString(const String& pattern) const
{
    return Locale::system().formatDate(*this, pattern);
}

String Date::toString(int kind) const
{
    return Locale::system().formatDate(*this, kind);
}

String Date::dayName(int weekday, int kind)
{
    return Locale::system().dayName(weekday, kind == 1);
}

String Date::monthName(int month, int kind)
{
    return Locale::system().monthName(month, kind == 1);
}

// ---- Time ----

void Time::set(int hour, int minute, int second, int millisecond)
{
    m_hour = hour;
    m_minute = minute;
    m_second = second;
    m_millisecond = millisecond;
}

void Time::get(int* hour, int* minute, int* second, int* millisecond) const
{
    if (hour)
        *hour = m_hour;
    if (minute)
        *minute = m_minute;
    if (second)
        *second = m_second;
    if (millisecond)
        *millisecond = m_millisecond;
}

int Time::compare(const Time& other) const
{
    if (m_hour != other.m_hour)
        return compareInts(m_hour, other.m_hour);
    if (m_minute != other.m_minute)
        return compareInts(m_minute, other.m_minute);
    if (m_second != other.m_second)
        return compareInts(m_second, other.m_second);
    return compareInts(m_millisecond, other.m_millisecond);
}

bool Time::isValid(int hour, int minute, int second, int millisecond)
{
    return hour >= 0 && minute >= 0 && minute <= 59 && second >= 0 && second <= 59 && millisecond >= 0
        && millisecond <= 999;
}

int Time::to12Hour(int hour, bool* pm)
{
    if (!pm || hour < 0 || hour > 23)
        return hour;
    *pm = hour >= 12;
    if (hour == 0)
        return 12;
    return hour > 12 ? hour - 12 : hour;
}

int Time::to24Hour(int hour, bool pm)
{
    if (hour < 1 || hour > 12)
        return hour;
    if (pm)
        return hour < 12 ? hour + 12 : hour;
    return hour == 12 ? 0 : hour;
}

std::int64_t Time::toMilliseconds() const
{
    return ((static_cast<std::int64_t>(m_hour) * 60 + m_minute) * 60 + m_second) * 1000 + m_millisecond;
}

std::int64_t Time::msecsTo(const Time& other) const
{
    return other.toMilliseconds() - toMilliseconds();
}

Time Time::fromMilliseconds(std::int64_t milliseconds)
{
    Time t;
    if (milliseconds > 0)
        splitMilliseconds(milliseconds, &t.m_hour, &t.m_minute, &t.m_second, &t.m_millisecond);
    return t;
}

Time& Time::addMilliseconds(std::int64_t milliseconds)
{
    const std::int64_t current = toMilliseconds();
    if (milliseconds > 0 && current > INT64_MAX - milliseconds)
        *this = fromMilliseconds(INT64_MAX);
    else if (milliseconds < 0 && current < INT64_MIN - milliseconds)
        *this = Time();
    else
        *this = fromMilliseconds(current + milliseconds);
    return *this;
}

// Products in 64 bits, so large counts cannot overflow.
Time& Time::addSeconds(int seconds)
{
    return addMilliseconds(seconds * kMsPerSecond);
}

Time& Time::addMinutes(int minutes)
{
    return addMilliseconds(minutes * kMsPerMinute);
}

Time& Time::addHours(int hours)
{
    return addMilliseconds(hours * kMsPerHour);
}

Time Time::current(bool local)
{
    return DateTime::current(local).time();
}

String Time::toString(const String& pattern) const
{
    return Locale::system().formatTime(*this, pattern);
}

String Time::toString() const
{
    return Locale::system().formatTime(*this);
}

// ---- DateTime ----

bool DateTime::operator>(const DateTime& other) const
{
    if (m_date != other.m_date)
        return m_date > other.m_date;
    return m_time > other.m_time;
}

bool DateTime::operator<(const DateTime& other) const
{
    if (m_date != other.m_date)
        return m_date < other.m_date;
    return m_time < other.m_time;
}

DateTime& DateTime::addYears(int years)
{
    m_date.addYears(years);
    return *this;
}

DateTime& DateTime::addMonths(int months)
{
    m_date.addMonths(months);
    return *this;
}

DateTime& DateTime::addDays(int days)
{
    m_date.addDays(days);
    return *this;
}

DateTime& DateTime::addHours(int hours)
{
    m_time.addHours(hours);
    return *this;
}

DateTime& DateTime::addMinutes(int minutes)
{
    m_time.addMinutes(minutes);
    return *this;
}

DateTime& DateTime::addSeconds(int seconds)
{
    m_time.addSeconds(seconds);
    return *this;
}

DateTime& DateTime::addMilliseconds(std::int64_t milliseconds)
{
    m_time.addMilliseconds(milliseconds);
    return *this;
}

DateTime DateTime::current(bool local)
{
    return fromSystemTime(clockReading(local));
}

DateTime DateTime::toUtc() const
{
    SYSTEMTIME local, utc;
    if (!toSystemTime(*this, local) || !TzSpecificLocalTimeToSystemTime(nullptr, &local, &utc))
        return *this;
    return fromSystemTime(utc);
}

DateTime DateTime::toLocal() const
{
    SYSTEMTIME utc, local;
    if (!toSystemTime(*this, utc) || !SystemTimeToTzSpecificLocalTime(nullptr, &utc, &local))
        return *this;
    return fromSystemTime(local);
}

Time DateTime::timeBetween(const DateTime& from, const DateTime& to)
{
    if (!from.isValid() || !to.isValid() || from == to)
        return Time();
    const std::int64_t days = from.m_date.daysTo(to.m_date);
    return Time::fromMilliseconds(to.m_time.toMilliseconds() - from.m_time.toMilliseconds() + days * kMsPerDay);
}

std::int64_t DateTime::toUnixTime() const
{
    std::tm parts = {};
    parts.tm_year = year() - 1900;
    parts.tm_mon = month() - 1;
    parts.tm_mday = day();
    parts.tm_hour = hour();
    parts.tm_min = minute();
    parts.tm_sec = second();
    parts.tm_isdst = -1;
    return static_cast<std::int64_t>(std::mktime(&parts));
}

// Local time by the zone rules of the stamp's own moment rather than the
// current bias, so a summer stamp reads the same in winter and round trips
// through setFileDateTime.
DateTime DateTime::fromFileTime(std::uint64_t fileTime, bool local)
{
    const FILETIME ft = toFILETIME(fileTime);
    SYSTEMTIME utc;
    if (!FileTimeToSystemTime(&ft, &utc))
        return DateTime();
    if (!local)
        return fromSystemTime(utc);
    SYSTEMTIME localTime;
    if (!SystemTimeToTzSpecificLocalTime(nullptr, &utc, &localTime))
        return DateTime();
    return fromSystemTime(localTime);
}

std::uint64_t DateTime::toFileTime() const
{
    SYSTEMTIME st;
    FILETIME ft;
    if (!toSystemTime(*this, st) || !SystemTimeToFileTime(&st, &ft))
        return 0;
    return fromFILETIME(ft);
}

DateTime DateTime::fileDateTime(const String& path, int kind, bool local)
{
    String searchPath = path;
    if (searchPath.endsWith(L'\\'))
        searchPath.remove(searchPath.length() - 1, 1);
    if (!isSearchablePath(searchPath))
        return DateTime();
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW(searchPath.c_str(), &data);
    if (find == INVALID_HANDLE_VALUE)
        return DateTime();
    FindClose(find);
    return fromFileTime(fromFILETIME(pickFileTime(data, kind)), local);
}

bool DateTime::setFileDateTime(const String& path, const DateTime& value, bool local)
{
    const std::uint64_t stamp = (local ? value.toUtc() : value).toFileTime();
    if (stamp == 0)
        return false;
    FileHandle file(path, FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE);
    if (!file.isOpen())
        return false;
    const FILETIME ft = toFILETIME(stamp);
    return SetFileTime(file.get(), &ft, &ft, &ft) != FALSE;
}

bool DateTime::copyFileTimes(const String& destination, const String& source)
{
    FileHandle from(source, FILE_READ_ATTRIBUTES, FILE_SHARE_READ);
    if (!from.isOpen())
        return false;
    FILETIME created, accessed, written;
    if (!GetFileTime(from.get(), &created, &accessed, &written))
        return false;
    FileHandle to(destination, FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE);
    if (!to.isOpen())
        return false;
    return SetFileTime(to.get(), &created, &accessed, &written) != FALSE;
}

// ---- Clock and durations ----

void splitMilliseconds(std::int64_t milliseconds, int* hour, int* minute, int* second, int* millisecond)
{
    const std::int64_t hours = milliseconds / kMsPerHour;
    std::int64_t rest = milliseconds % kMsPerHour;
    if (hour)
        *hour = hours > INT_MAX ? INT_MAX : static_cast<int>(hours);
    if (minute)
        *minute = static_cast<int>(rest / kMsPerMinute);
    rest %= kMsPerMinute;
    if (second)
        *second = static_cast<int>(rest / kMsPerSecond);
    if (millisecond)
        *millisecond = static_cast<int>(rest % kMsPerSecond);
}

void splitSeconds(std::int64_t seconds, int* hour, int* minute, int* second)
{
    const std::int64_t hours = seconds / 3600;
    const std::int64_t rest = seconds % 3600;
    if (hour)
        *hour = hours > INT_MAX ? INT_MAX : static_cast<int>(hours);
    if (minute)
        *minute = static_cast<int>(rest / 60);
    if (second)
        *second = static_cast<int>(rest % 60);
}

int utcOffsetMinutes()
{
    TIME_ZONE_INFORMATION zone;
    switch (GetTimeZoneInformation(&zone)) {
    case TIME_ZONE_ID_STANDARD:
        return -(zone.Bias + zone.StandardBias);
    case TIME_ZONE_ID_DAYLIGHT:
        return -(zone.Bias + zone.DaylightBias);
    case TIME_ZONE_ID_UNKNOWN:
        return -zone.Bias;
    default:
        return 0;
    }
}

String utcOffsetText(int offsetMinutes)
{
    const int magnitude = offsetMinutes < 0 ? -offsetMinutes : offsetMinutes;
    String text;
    if (offsetMinutes != 0)
        text.append(offsetMinutes > 0 ? L'+' : L'-');
    const int hours = magnitude / 60;
    const int minutes = magnitude % 60;
    if (hours < 10)
        text.append(L'0');
    text.append(String::number(hours));
    text.append(L':');
    if (minutes < 10)
        text.append(L'0');
    text.append(String::number(minutes));
    return text;
}

String utcOffsetText()
{
    return utcOffsetText(utcOffsetMinutes());
}

std::int64_t performanceCounter()
{
    LARGE_INTEGER value;
    QueryPerformanceCounter(&value);
    return value.QuadPart;
}

std::int64_t performanceFrequency()
{
    LARGE_INTEGER value;
    QueryPerformanceFrequency(&value);
    return value.QuadPart;
}

std::int64_t preciseMilliseconds()
{
    return static_cast<std::int64_t>(static_cast<double>(performanceCounter()) * 1000.0
                                     / static_cast<double>(performanceFrequency()));
}

std::int64_t currentUnixMicroseconds()
{
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    return (static_cast<std::int64_t>(fromFILETIME(now)) - kUnixEpochFileTime) / 10;
}

std::int64_t currentUnixMilliseconds()
{
    return currentUnixMicroseconds() / 1000;
}

std::int64_t currentUnixTime()
{
    return currentUnixMicroseconds() / 1000000;
}
