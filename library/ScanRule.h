#pragma once

// A scan rule: a folder to scan, a filter and conditions, and the tags
// that the items found receive. The model owns its rules; their fields,
// text form and the scanner arrive with the scan rules, which fill this
// class in.
class ScanRule {
public:
    ScanRule() = default;
    ~ScanRule() = default;
    ScanRule(const ScanRule&) = delete;
    ScanRule& operator=(const ScanRule&) = delete;
};
