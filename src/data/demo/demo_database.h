#pragma once
// Creating incident database files: an empty one with the schema, or a
// realistic sample of two incidents of the 2026 summer season.
//
// The sample at scale 1 holds two incidents with their accounting codes;
// about 8 hand crews (request numbers C-n, Collection set) of about 20 persons,
// about 30 single resources (O-n, a few subordinate O-n.m) of one person each;
// 14 days of time postings per person (one to three a day, some long days,
// short breaks, night shifts across midnight, a few postings still open);
// commissary debits; 4 contractors with agreements under admin offices,
// 12 pieces of equipment (E-n), 2 contract crews (C-n) and 2 other contracts
// (S-n) with daily use postings, guarantees, deductions and additions; the
// kind and time lists. Scale N repeats crews, single resources, contractors
// and equipment N times. Nothing is invoiced: every InvoiceID is 0.
//
// The same seed and scale always give a byte-identical file: the generator
// uses its own random numbers, fixed dates and no timestamps.

#include <QString>

#include <cstdint>

namespace quillon::demo {

struct DemoOptions {
    static constexpr std::uint64_t DefaultSeed = 2026;
    int scale = 1;
    std::uint64_t seed = DefaultSeed;
};

// Rows written, by kind.
struct DemoCounts {
    int incidents = 0;
    int resources = 0;
    int persons = 0;
    int personPostings = 0;
    int debits = 0;
    int contractors = 0;
    int equipment = 0;
    int equipmentPostings = 0;
    int adjustments = 0;
};

// Writes a new database file holding the schema and no rows. The path must not
// exist. Raises DbError on failure and leaves no file behind.
void createEmptyDatabase(const QString& path);

// Writes a new database file holding the sample. The path must not exist;
// scale must be 1 or more. Raises DbError on failure and leaves no file behind.
DemoCounts createDemoDatabase(const QString& path, const DemoOptions& options = {});

}  // namespace quillon::demo
