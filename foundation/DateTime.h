#pragma once

#include "foundation/String.h"

#include <cstdint>

// Calendar values: a Gregorian day, a time of day that doubles as an elapsed
// duration (its hour count has no upper bound), and the two together. Files
// and the platform exchange a DateTime as seven integers in the order year,
// month, day, hour, minute, second, millisecond.

class Date {
public:
    Date() = default;
    Date(int year, int month, int day) : m_year(year), m_month(month), m_day(day) {}

    int year() const { return m_year; }
    int month() const { return m_month; }
    int day() const { return m_day; }
    void set(int year, int month, int day);
    // Null out-pointers are skipped.
    void get(int* year, int* month, int* day) const;

    // 1 when this date is later, -1 when earlier, 0 when equal.
    int compare(const Date& other) const;
    bool operator==(const Date& other) const { return compare(other) == 0; }
    bool operator!=(const Date& other) const { return compare(other) != 0; }
    bool operator>(const Date& other) const { return compare(other) > 0; }
    bool operator<(const Date& other) const { return compare(other) < 0; }

    bool isNull() const { return m_year < 1 && m_month < 1 && m_day < 1; }
    // Year 0-9999, month 1-12, day within the month.
    bool isValid() const { return isValid(m_year, m_month, m_day); }
    static bool isValid(int year, int month, int day);
    static bool isLeapYear(int year);
    bool isLeapYear() const { return isLeapYear(m_year); }
    static int daysInYear(int year);
    int daysInYear() const { return daysInYear(m_year); }
    // 0 for a month outside 1-12.
    static int daysInMonth(int year, int month);
    int daysInMonth() const { return daysInMonth(m_year, m_month); }

    // Julian Day Number (2451545 for 2000-01-01).
    int toJulianDay() const;
    static Date fromJulianDay(int julianDay);

    Date& addDays(int days);
    // Months and years advance by the lengths of the months or years moved
    // into; a count of 0 or less leaves the date unchanged.
    Date& addMonths(int months);
    Date& addYears(int years);
    int daysTo(const Date& other) const;
    // 1 Monday ... 7 Sunday.
    int dayOfWeek() const;
    int dayOfYear() const;

    bool isFirstMonth() const { return m_month == 1; }
    bool isLastMonth() const { return m_month == 12; }
    bool isFirstDayOfMonth() const { return m_day == 1; }
    bool isFirstDayOfYear() const { return m_month == 1 && m_day == 1; }
    bool isLastDayOfMonth() const { return m_day == daysInMonth(); }
    bool isLastDayOfYear() const { return m_month == 12 && m_day == 31; }

    bool isToday() const;
    bool isYesterday() const;
    bool isTodayUtc() const;
    bool isYesterdayUtc() const;

    static Date current(bool local);
    static Date currentLocal() { return current(true); }
    static Date currentUtc() { return current(false); }

    // Through the system Locale: a date pattern, or kind 0 long / 1 short.
    String toString(const String& pattern) const;
    String toString(int kind) const;
    // Kind 0 full, 1 abbreviated; weekday 1 Monday ... 7 Sunday.
    static String dayName(int weekday, int kind);
    static String monthName(int month, int kind);

private:
    int m_year = 0;
    int m_month = 0;
    int m_day = 0;
};

class Time {
public:
    Time() = default;
    Time(int hour, int minute, int second = 0, int millisecond = 0)
        : m_hour(hour), m_minute(minute), m_second(second), m_millisecond(millisecond)
    {
    }

    int hour() const { return m_hour; }
    int minute() const { return m_minute; }
    int second() const { return m_second; }
    int millisecond() const { return m_millisecond; }
    void set(int hour, int minute, int second, int millisecond);
    // Null out-pointers are skipped.
    void get(int* hour, int* minute, int* second, int* millisecond) const;

    int compare(const Time& other) const;
    bool operator==(const Time& other) const { return compare(other) == 0; }
    bool operator!=(const Time& other) const { return compare(other) != 0; }
    bool operator>(const Time& other) const { return compare(other) > 0; }
    bool operator<(const Time& other) const { return compare(other) < 0; }

    bool isNull() const { return m_hour <= 0 && m_minute <= 0 && m_second <= 0 && m_millisecond <= 0; }
    // The hour has no upper bound, so durations are valid too.
    bool isValid() const { return isValid(m_hour, m_minute, m_second, m_millisecond); }
    static bool isValid(int hour, int minute, int second, int millisecond);
    bool isPm() const { return m_hour >= 12; }

    // 12-hour clock: 0 -> 12 am, 12 -> 12 pm, 13-23 -> 1-11 pm. Hours
    // outside 0-23, or a null flag, come back unchanged with the flag untouched.
    int hour12(bool* pm) const { return to12Hour(m_hour, pm); }
    static int to12Hour(int hour, bool* pm);
    static int to24Hour(int hour, bool pm);

    std::int64_t toMilliseconds() const;
    std::int64_t msecsTo(const Time& other) const;
    std::int64_t secsTo(const Time& other) const { return msecsTo(other) / 1000; }

    // Durations are never negative: a negative count gives the empty Time.
    static Time fromMilliseconds(std::int64_t milliseconds);
    // No wrap at 24 hours.
    Time& addMilliseconds(std::int64_t milliseconds);
    Time& addSeconds(int seconds);
    Time& addMinutes(int minutes);
    Time& addHours(int hours);

    static Time current(bool local);
    static Time currentLocal() { return current(true); }
    static Time currentUtc() { return current(false); }

    // Through the system Locale: a time pattern, or the locale's own.
    String toString(const String& pattern) const;
    String toString() const;

private:
    int m_hour = 0;
    int m_minute = 0;
    int m_second = 0;
    int m_millisecond = 0;
};

class DateTime {
public:
    // Which time stamp of a file.
    enum FileTimeKind : int { CreationTime = 0, LastAccessTime = 1, LastWriteTime = 2 };

    DateTime() = default;
    DateTime(int year, int month, int day) : m_date(year, month, day) {}
    DateTime(int year, int month, int day, int hour, int minute, int second = 0, int millisecond = 0)
        : m_date(year, month, day), m_time(hour, minute, second, millisecond)
    {
    }
    DateTime(const Date& date, const Time& time) : m_date(date), m_time(time) {}

    const Date& date() const { return m_date; }
    const Time& time() const { return m_time; }
    void setDate(const Date& date) { m_date = date; }
    void setTime(const Time& time) { m_time = time; }
    int year() const { return m_date.year(); }
    int month() const { return m_date.month(); }
    int day() const { return m_date.day(); }
    int hour() const { return m_time.hour(); }
    int minute() const { return m_time.minute(); }
    int second() const { return m_time.second(); }
    int millisecond() const { return m_time.millisecond(); }

    bool operator==(const DateTime& other) const { return m_date == other.m_date && m_time == other.m_time; }
    bool operator!=(const DateTime& other) const { return !(*this == other); }
    bool operator>(const DateTime& other) const;
    bool operator<(const DateTime& other) const;

    bool isNull() const { return m_date.isNull() && m_time.isNull(); }
    bool isValid() const { return m_date.isValid() && m_time.isValid(); }

    DateTime& addYears(int years);
    DateTime& addMonths(int months);
    DateTime& addDays(int days);
    // These change the time only; the date does not roll over.
    DateTime& addHours(int hours);
    DateTime& addMinutes(int minutes);
    DateTime& addSeconds(int seconds);
    DateTime& addMilliseconds(std::int64_t milliseconds);

    static DateTime current(bool local);
    static DateTime currentLocal() { return current(true); }
    static DateTime currentUtc() { return current(false); }

    // By the platform's zone rules for that moment; an invalid value, or
    // one the platform cannot convert, comes back unchanged.
    DateTime toUtc() const;
    DateTime toLocal() const;
    // Elapsed time from one value to a later one; the empty Time when either
    // is invalid, they are equal, or to lies before from.
    static Time timeBetween(const DateTime& from, const DateTime& to);
    // Seconds since 1970 of this value taken as local time (C library mktime).
    std::int64_t toUnixTime() const;

    // Platform file times: 100-ns units since 1601-01-01 UTC. fromFileTime
    // gives the empty DateTime when the value cannot be converted; with
    // local it gives local time by the zone rules of that moment, as
    // toLocal does. toFileTime takes this value as UTC and gives 0 when it
    // cannot be converted.
    static DateTime fromFileTime(std::uint64_t fileTime, bool local = false);
    std::uint64_t toFileTime() const;

    // A file's or folder's time stamp; empty when nothing matches.
    static DateTime fileDateTime(const String& path, int kind, bool local);
    // Sets creation, last-access and last-write time of an existing file.
    static bool setFileDateTime(const String& path, const DateTime& value, bool local);
    static bool copyFileTimes(const String& destination, const String& source);

private:
    Date m_date;
    Time m_time;
};

// Splits a count into hours (unbounded), minutes, seconds and the rest;
// null out-pointers are skipped.
void splitMilliseconds(std::int64_t milliseconds, int* hour, int* minute, int* second, int* millisecond);
void splitSeconds(std::int64_t seconds, int* hour, int* minute, int* second);

// Local time minus UTC in minutes, positive east of Greenwich.
int utcOffsetMinutes();
// "+hh:mm" / "-hh:mm", or "00:00" for no offset.
String utcOffsetText(int offsetMinutes);
String utcOffsetText();

std::int64_t performanceCounter();
std::int64_t performanceFrequency();
std::int64_t preciseMilliseconds();
std::int64_t currentUnixMicroseconds();
std::int64_t currentUnixMilliseconds();
std::int64_t currentUnixTime();
