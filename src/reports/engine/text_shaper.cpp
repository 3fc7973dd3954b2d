#include "reports/engine/text_shaper.h"

#include "reports/engine/font_metrics.h"

#include <hb.h>
#include <unicode/ubidi.h>
#include <unicode/uchar.h>

#include <algorithm>
#include <memory>

namespace quillon::reports {

namespace {

// A character that belongs to the glyph before it: a combining mark, a
// joiner or another invisible format character.
bool attaches(char32_t c)
{
    const int type = u_charType(UChar32(c));
    return type == U_NON_SPACING_MARK || type == U_ENCLOSING_MARK || type == U_COMBINING_SPACING_MARK
           || u_hasBinaryProperty(UChar32(c), UCHAR_DEFAULT_IGNORABLE_CODE_POINT);
}

struct HbFont {
    hb_font_t* font = nullptr;
    int unitsPerEm = 1000;
    ~HbFont()
    {
        if (font) hb_font_destroy(font);
    }
};

// The shaping font of a face, made once and kept with the face: it reads the
// face's own bytes, the ones the PDF embeds.
const HbFont& hbFont(const FontFace& face)
{
    std::shared_ptr<void>& slot = face.shapingData();
    if (!slot) {
        auto font = std::make_shared<HbFont>();
        hb_blob_t* blob = hb_blob_create(face.data().constData(), unsigned(face.data().size()),
                                         HB_MEMORY_MODE_READONLY, nullptr, nullptr);
        hb_face_t* hbFace = hb_face_create(blob, 0);
        hb_blob_destroy(blob);
        font->unitsPerEm = int(std::max(1u, hb_face_get_upem(hbFace)));
        font->font = hb_font_create(hbFace);
        hb_face_destroy(hbFace);
        hb_font_set_scale(font->font, font->unitsPerEm, font->unitsPerEm);   // positions in font units
        slot = font;
    }
    return *static_cast<const HbFont*>(slot.get());
}

int toThousandths(hb_position_t v, int unitsPerEm)
{
    // As the PDF width table holds an advance: 1000 * units / em, truncated.
    return int(std::int64_t(v) * 1000 / unitsPerEm);
}

// Shapes text[from, to) with one face in one direction; appends the glyphs
// in visual order.
void shapeSegment(const FontFace& face, const QString& text, int from, int to, bool rightToLeft,
                  std::vector<ShapedGlyph>& out)
{
    const HbFont& font = hbFont(face);
    hb_buffer_t* buf = hb_buffer_create();
    // The whole text goes in as context, so that a letter at the edge of the
    // segment still joins the letters beyond it.
    hb_buffer_add_utf16(buf, reinterpret_cast<const uint16_t*>(text.utf16()), int(text.size()), unsigned(from),
                        to - from);
    hb_buffer_set_direction(buf, rightToLeft ? HB_DIRECTION_RTL : HB_DIRECTION_LTR);
    hb_buffer_guess_segment_properties(buf);
    hb_shape(font.font, buf, nullptr, 0);
    unsigned count = 0;
    const hb_glyph_info_t* info = hb_buffer_get_glyph_infos(buf, &count);
    const hb_glyph_position_t* pos = hb_buffer_get_glyph_positions(buf, &count);

    // Each cluster's characters: from its start to the next cluster's start.
    std::vector<unsigned> starts;
    for (unsigned i = 0; i < count; ++i) starts.push_back(info[i].cluster);
    std::sort(starts.begin(), starts.end());
    starts.erase(std::unique(starts.begin(), starts.end()), starts.end());
    std::vector<bool> given(starts.size(), false);
    for (unsigned i = 0; i < count; ++i) {
        ShapedGlyph g;
        g.face = &face;
        g.glyph = int(info[i].codepoint);
        g.advance = toThousandths(pos[i].x_advance, font.unitsPerEm);
        g.xOffset = toThousandths(pos[i].x_offset, font.unitsPerEm);
        g.yOffset = toThousandths(pos[i].y_offset, font.unitsPerEm);
        const size_t k = size_t(std::lower_bound(starts.begin(), starts.end(), info[i].cluster) - starts.begin());
        if (!given[k]) {
            const int end = k + 1 < starts.size() ? int(starts[k + 1]) : to;
            g.text = text.mid(int(starts[k]), end - int(starts[k]));
            given[k] = true;
        }
        out.push_back(std::move(g));
    }
    hb_buffer_destroy(buf);
}

}  // namespace

bool needsShaping(const QString& text)
{
    for (QChar c : text)
        if (needsShaping(char32_t(c.unicode()))) return true;
    return false;
}

namespace {

// The text with each stretch of right-to-left words (and the punctuation or
// numbers between them) set apart as an isolate, so that a name ordered
// right to left does not carry a neighbouring number or code along with it:
// "حداد, سمير 2026-CA-000005A" keeps the invoice number whole, left to right.
// origin[i] is the index in `text` of each unit, -1 for an inserted mark.
QString isolateRightToLeftWords(const QString& text, std::vector<int>& origin)
{
    enum Kind { Neutral, Left, Right };
    struct Word {
        int from, to;
        Kind kind;
    };
    std::vector<Word> words;
    for (int i = 0; i < text.size();) {
        if (text.at(i).isSpace()) {
            ++i;
            continue;
        }
        Word w{i, i, Neutral};
        for (; i < text.size() && !text.at(i).isSpace(); ++i) {
            const UCharDirection d = u_charDirection(UChar32(text.at(i).unicode()));
            if (d == U_RIGHT_TO_LEFT || d == U_RIGHT_TO_LEFT_ARABIC) w.kind = Right;
            else if (d == U_LEFT_TO_RIGHT && w.kind == Neutral) w.kind = Left;
        }
        w.to = i;
        words.push_back(w);
    }
    std::vector<std::pair<int, int>> spans;   // [from, to) of each isolate
    for (size_t a = 0; a < words.size(); ++a) {
        if (words[a].kind != Right) continue;
        size_t b = a, last = a;
        while (b + 1 < words.size() && words[b + 1].kind != Left) {
            ++b;
            if (words[b].kind == Right) last = b;
        }
        spans.emplace_back(words[a].from, words[last].to);
        a = last;
    }
    QString out;
    origin.clear();
    size_t k = 0;
    for (int i = 0; i <= text.size(); ++i) {
        if (k < spans.size() && spans[k].second == i) {
            out += QChar(0x2069);   // POP DIRECTIONAL ISOLATE
            origin.push_back(-1);
            ++k;
        }
        if (k < spans.size() && spans[k].first == i) {
            out += QChar(0x2068);   // FIRST STRONG ISOLATE
            origin.push_back(-1);
        }
        if (i < text.size()) {
            out += text.at(i);
            origin.push_back(i);
        }
    }
    return out;
}

}  // namespace

std::vector<ShapedGlyph> shapeText(const FontFace& face, const QString& text)
{
    std::vector<ShapedGlyph> out;
    if (text.isEmpty()) return out;
    std::vector<int> origin;
    const QString ordered = isolateRightToLeftWords(text, origin);
    UErrorCode error = U_ZERO_ERROR;
    UBiDi* bidi = ubidi_openSized(int32_t(ordered.size()), 0, &error);
    // Reports read left to right; right-to-left words sit in it as isolates.
    ubidi_setPara(bidi, reinterpret_cast<const UChar*>(ordered.utf16()), int32_t(ordered.size()), UBIDI_LTR, nullptr,
                  &error);
    const int32_t runs = U_SUCCESS(error) ? ubidi_countRuns(bidi, &error) : 0;
    if (U_FAILURE(error)) {
        // Not expected for valid text; print it in logical order rather than not at all.
        ubidi_close(bidi);
        shapeSegment(face, text, 0, int(text.size()), false, out);
        return out;
    }
    for (int32_t r = 0; r < runs; ++r) {
        int32_t start = 0, length = 0;
        const bool rightToLeft = ubidi_getVisualRun(bidi, r, &start, &length) == UBIDI_RTL;
        // The run in pieces of one face each: the face that prints the
        // character, the previous one for marks and joiners.
        struct Piece {
            const FontFace* face;
            int from, to;   // in `text`
        };
        std::vector<Piece> pieces;
        bool split = true;
        for (int j = start; j < start + length;) {
            const int i = origin[size_t(j)];
            if (i < 0) {   // an inserted isolate mark
                split = true;
                ++j;
                continue;
            }
            char32_t c = text.at(i).unicode();
            int next = i + 1;
            ++j;
            if (QChar::isHighSurrogate(c) && j < start + length && origin[size_t(j)] == next && text.at(next).isLowSurrogate()) {
                c = QChar::surrogateToUcs4(text.at(i), text.at(next++));
                ++j;
            }
            const FontFace* f = (!pieces.empty() && !split && attaches(c)) ? pieces.back().face : face.resolve(c).face;
            if (!pieces.empty() && !split && pieces.back().face == f) pieces.back().to = next;
            else pieces.push_back({f, i, next});
            split = false;
        }
        if (rightToLeft) std::reverse(pieces.begin(), pieces.end());
        for (const Piece& p : pieces) shapeSegment(*p.face, text, p.from, p.to, rightToLeft, out);
    }
    ubidi_close(bidi);
    return out;
}

long shapedWidth(const FontFace& face, const QString& text)
{
    long width = 0;
    for (const ShapedGlyph& g : shapeText(face, text)) width += g.advance;
    return width;
}

}  // namespace quillon::reports
