// schedule — the checked interface: the plain-format files of job shops, processing times and
// parameters.
// Part of <schedule/checked.h>, which includes every part.
#ifndef SCHEDULE_CHECKED_PLAIN_FILES_H
#define SCHEDULE_CHECKED_PLAIN_FILES_H

#include <cstdio>
#include <string>

#include "schedule/checked/storage.h"

namespace schedule {

// What the plain job-shop readers read: the storage layout of loadJSData and
// its siblings (pt[k][j] the time of job j's k-th operation, rm[j][k] its
// machine; the machine layout's pt[machine][job], and its available machines).
struct PlainJobShop {
    int jobs = 0;
    int machines = 0;
    Matrix pt;
    Matrix rm;
    Vector<long> dd;         // the due-date layouts only
    Vector<int> available;  // the machine layout only
};

enum class PlainJobShopLayout {
    classic,         // loadJSData
    due_dates,       // loadJS_DD_Data
    due_dates_rows,  // loadJS_DD_Data_Zorvane
    machine_times,   // loadJS_MM_Data
};

// Reads a plain job-shop file as the reader of its layout does; `description`
// says whether the due-date layouts begin with a description line (the
// others always do). With `echo`, writes what the reader's echo shows there.
[[nodiscard]] PlainJobShop read_plain_job_shop(const std::string& path, PlainJobShopLayout layout,
                                               bool description = true, std::FILE* echo = nullptr);

struct PlainTimes {
    int jobs = 0;
    int machines = 0;
    Matrix pt;  // pt[machine][job]
    Vector<long> dd;
};

enum class TimesLayout {
    machine_rows,            // loadPTimes_mrows
    machine_rows_due_dates,  // loadPTimes_mrowsDD
    job_rows,                // loadPTimes_nrows
    job_rows_due_dates,      // loadPTimes_nrowsDD
};

[[nodiscard]] PlainTimes read_processing_times(const std::string& path, TimesLayout layout,
                                               std::FILE* echo = nullptr);

// The integer read_parfile_int reads; throws Error where it ends the process.
int read_parameter(const std::string& path, int row);

}  // namespace schedule

#endif  // SCHEDULE_CHECKED_PLAIN_FILES_H
