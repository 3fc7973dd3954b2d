#include "reports/engine/truetype_subset.h"

#include "data/dberror.h"

#include <algorithm>
#include <cstdint>
#include <map>
#include <unordered_map>

namespace quillon::reports {

namespace {

[[noreturn]] void damaged()
{
    throw DbError(ErrorNumber::ReportTemplate, QStringLiteral("A font file is damaged and cannot be embedded"),
                  QStringLiteral("PDF writer"));
}

std::uint16_t u16(const QByteArray& d, qsizetype at)
{
    if (at < 0 || at + 2 > d.size()) damaged();
    return std::uint16_t((std::uint8_t(d[at]) << 8) | std::uint8_t(d[at + 1]));
}

std::uint32_t u32(const QByteArray& d, qsizetype at) { return (std::uint32_t(u16(d, at)) << 16) | u16(d, at + 2); }

void put16(QByteArray& d, qsizetype at, std::uint16_t v)
{
    d[at] = char(v >> 8);
    d[at + 1] = char(v & 0xff);
}

void put32(QByteArray& d, qsizetype at, std::uint32_t v)
{
    put16(d, at, std::uint16_t(v >> 16));
    put16(d, at + 2, std::uint16_t(v & 0xffff));
}

void append16(QByteArray& d, std::uint16_t v)
{
    d.append(char(v >> 8));
    d.append(char(v & 0xff));
}

void append32(QByteArray& d, std::uint32_t v)
{
    append16(d, std::uint16_t(v >> 16));
    append16(d, std::uint16_t(v & 0xffff));
}

std::uint32_t checksum(const QByteArray& t)
{
    std::uint32_t sum = 0;
    const qsizetype n = t.size();
    for (qsizetype i = 0; i < n; i += 4) {
        std::uint32_t v = 0;
        for (int k = 0; k < 4; ++k) v = (v << 8) | (i + k < n ? std::uint8_t(t[i + k]) : 0u);
        sum += v;
    }
    return sum;
}

struct Source {
    std::map<QByteArray, std::pair<qsizetype, qsizetype>> tables;   // tag -> offset, length

    QByteArray table(const QByteArray& font, const char* tag, bool required = true) const
    {
        const auto it = tables.find(QByteArray(tag));
        if (it == tables.end()) {
            if (required) damaged();
            return {};
        }
        if (it->second.first + it->second.second > font.size()) damaged();
        return font.mid(it->second.first, it->second.second);
    }
};

// Composite-glyph component flags.
constexpr std::uint16_t kArgsAreWords = 0x0001, kHaveScale = 0x0008, kMoreComponents = 0x0020,
                        kHaveXYScale = 0x0040, kHaveTwoByTwo = 0x0080, kHaveInstructions = 0x0100;

// Walks the components of a composite glyph, calling f(offset of the glyph index).
template <typename F>
qsizetype forEachComponent(const QByteArray& g, F f)
{
    qsizetype at = 10;
    for (;;) {
        const std::uint16_t flags = u16(g, at);
        f(at, flags);
        at += 4 + ((flags & kArgsAreWords) ? 4 : 2);
        if (flags & kHaveScale) at += 2;
        else if (flags & kHaveXYScale) at += 4;
        else if (flags & kHaveTwoByTwo) at += 8;
        if (!(flags & kMoreComponents)) return at;
    }
}

}  // namespace

TrueTypeSubset subsetTrueType(const QByteArray& font, const std::vector<int>& wanted)
{
    Source src;
    const int numTables = u16(font, 4);
    for (int i = 0; i < numTables; ++i) {
        const qsizetype rec = 12 + 16 * i;
        src.tables[font.mid(rec, 4)] = {qsizetype(u32(font, rec + 8)), qsizetype(u32(font, rec + 12))};
    }
    QByteArray head = src.table(font, "head");
    QByteArray hhea = src.table(font, "hhea");
    QByteArray maxp = src.table(font, "maxp");
    const QByteArray hmtx = src.table(font, "hmtx");
    const QByteArray loca = src.table(font, "loca");
    const QByteArray glyf = src.table(font, "glyf");
    const QByteArray post = src.table(font, "post", false);
    if (head.size() < 54 || hhea.size() < 36 || maxp.size() < 6) damaged();

    const int numGlyphs = u16(maxp, 4);
    const bool longLoca = u16(head, 50) != 0;
    const int numMetrics = std::max(1, int(u16(hhea, 34)));
    auto glyphData = [&](int g) -> QByteArray {
        if (g < 0 || g >= numGlyphs) return {};
        const qsizetype a = longLoca ? qsizetype(u32(loca, 4 * g)) : qsizetype(u16(loca, 2 * g)) * 2;
        const qsizetype b = longLoca ? qsizetype(u32(loca, 4 * g + 4)) : qsizetype(u16(loca, 2 * g + 2)) * 2;
        if (b < a || b > glyf.size()) damaged();
        return glyf.mid(a, b - a);
    };

    TrueTypeSubset out;
    std::unordered_map<int, int> index;   // original glyph -> new number
    auto add = [&](int g) {
        if (g < 0 || g >= numGlyphs) g = 0;
        const auto [it, inserted] = index.emplace(g, int(out.glyphs.size()));
        if (inserted) out.glyphs.push_back(g);
        return it->second;
    };
    // The given glyphs keep their places, repeats included (a document may
    // print the missing-glyph box for several characters).
    for (int g : wanted) {
        if (g < 0 || g >= numGlyphs) g = 0;
        index.emplace(g, int(out.glyphs.size()));
        out.glyphs.push_back(g);
    }

    // Glyph outlines, without instructions; components renumbered (and added as met).
    QByteArray newGlyf, newLoca, newHmtx;
    for (size_t n = 0; n < out.glyphs.size(); ++n) {
        append32(newLoca, std::uint32_t(newGlyf.size()));
        const int g = out.glyphs[n];
        QByteArray data = glyphData(g);
        if (data.size() >= 10) {
            const auto contours = std::int16_t(u16(data, 0));
            if (contours >= 0) {
                const qsizetype lenAt = 10 + 2 * qsizetype(contours);
                const qsizetype instr = u16(data, lenAt);
                if (lenAt + 2 + instr > data.size()) damaged();
                data = data.left(lenAt) + QByteArray(2, '\0') + data.mid(lenAt + 2 + instr);
            } else {
                const qsizetype end = forEachComponent(data, [&](qsizetype at, std::uint16_t flags) {
                    put16(data, at, std::uint16_t(flags & ~kHaveInstructions));
                    put16(data, at + 2, std::uint16_t(add(u16(data, at + 2))));
                });
                data.truncate(end);
            }
            newGlyf += data;
            while (newGlyf.size() % 4) newGlyf.append('\0');
        }
        const int m = std::min(g, numMetrics - 1);
        append16(newHmtx, u16(hmtx, 4 * m));
        append16(newHmtx, g < numMetrics ? u16(hmtx, 4 * g + 2) : u16(hmtx, 4 * numMetrics + 2 * (g - numMetrics)));
    }
    append32(newLoca, std::uint32_t(newGlyf.size()));

    const auto count = std::uint16_t(out.glyphs.size());
    put32(head, 8, 0);        // checkSumAdjustment, set below
    put16(head, 50, 1);       // long loca offsets
    put16(hhea, 34, count);
    put16(maxp, 4, count);
    QByteArray newPost;
    if (post.size() >= 32) {
        newPost = post.left(32);
        put32(newPost, 0, 0x00030000);   // no glyph names
        for (int i = 16; i < 32; ++i) newPost[i] = '\0';
    }

    std::map<QByteArray, QByteArray> tables{{"glyf", newGlyf}, {"head", head}, {"hhea", hhea},
                                            {"hmtx", newHmtx}, {"loca", newLoca}, {"maxp", maxp}};
    if (!newPost.isEmpty()) tables["post"] = newPost;

    QByteArray& f = out.font;
    const int n = int(tables.size());
    int entrySelector = 0;
    while ((2 << entrySelector) <= n) ++entrySelector;
    const int searchRange = 16 << entrySelector;
    append32(f, 0x00010000);
    append16(f, std::uint16_t(n));
    append16(f, std::uint16_t(searchRange));
    append16(f, std::uint16_t(entrySelector));
    append16(f, std::uint16_t(n * 16 - searchRange));
    qsizetype offset = 12 + 16 * n;
    qsizetype headAt = 0;
    for (const auto& [tag, data] : tables) {
        f += tag;
        append32(f, checksum(data));
        append32(f, std::uint32_t(offset));
        append32(f, std::uint32_t(data.size()));
        if (tag == "head") headAt = offset;
        offset += (data.size() + 3) / 4 * 4;
    }
    for (const auto& [tag, data] : tables) {
        f += data;
        while (f.size() % 4) f.append('\0');
    }
    put32(f, headAt + 8, 0xB1B0AFBAu - checksum(f));
    return out;
}

}  // namespace quillon::reports
