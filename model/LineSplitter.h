#pragma once
// Splits bytes handed in pieces into lines at CR LF, lone CR and lone LF. A line is kept up to
// kMaxLineBytes; the rest of a longer line is dropped, so a wrong file (a large binary, a file
// without line ends) neither fills the memory nor slows a read beyond one pass over its bytes.
// Lines inside a piece are handed on in place, without a copy; only a line that runs over the end
// of a piece is gathered.

#include <QByteArray>
#include <QByteArrayView>
#include <QtGlobal>

#include <algorithm>
#include <bit>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace platine {

// Longest line kept, in bytes; the rest of a longer line is skipped.
inline constexpr qsizetype kMaxLineBytes = 64 * 1024;

class LineSplitter
{
public:
    // start: the offset in the file of the first byte to be fed, a line start.
    explicit LineSplitter(qint64 start = 0) : m_offset(start), m_lineStart(start) {}

    // Hands on each line that ends in the piece, without its line end, with the offset of its
    // first byte: onLine(QByteArrayView line, qint64 offset) returns false to stop. False when it
    // stopped; the lines after the one it stopped at are not handed on, and the splitter is done.
    template <typename OnLine> bool feed(const char *data, qsizetype size, OnLine &&onLine)
    {
        qsizetype pos = 0;
        if (m_afterCr && size > 0) {
            m_afterCr = false;
            if (data[0] == '\n') {
                pos = 1;
                m_lineStart = m_offset + 1;
            }
        }
        while (pos < size) {
            const qsizetype end = lineEnd(data, pos, size);
            if (end == size) {
                keep(data + pos, size - pos);
                break;
            }
            QByteArrayView line(data + pos, std::min(end - pos, kMaxLineBytes));
            if (m_started) {
                keep(data + pos, end - pos);
                line = m_carry;
            }
            pos = end + 1;
            if (data[end] == '\r') {
                if (pos == size)
                    m_afterCr = true;
                else if (data[pos] == '\n')
                    ++pos;
            }
            ++m_lines;
            const bool more = onLine(line, m_lineStart);
            m_carry.clear();
            m_started = false;
            m_lineStart = m_offset + pos;
            if (!more) {
                m_offset += size;
                return false;
            }
        }
        m_offset += size;
        return true;
    }

    // At the end of the bytes: hands on the last line when it has no line end.
    template <typename OnLine> bool finish(OnLine &&onLine)
    {
        if (!m_started)
            return true;
        m_started = false;
        ++m_lines;
        return onLine(QByteArrayView(m_carry), m_lineStart);
    }

    // Passes over the next bytes, split into lines elsewhere: `lines` whole lines, the last line
    // end included, after the end of a line. `endsWithCr`: they end with a CR, which a LF first in
    // the next bytes belongs to.
    void skip(qsizetype size, qint64 lines, bool endsWithCr)
    {
        m_offset += size;
        m_lineStart = m_offset;
        m_lines += lines;
        m_afterCr = endsWithCr;
    }

    // Lines handed on so far: the number of the last one, counted from 1.
    qint64 lines() const { return m_lines; }
    // Offset just past the bytes fed.
    qint64 offset() const { return m_offset; }

    // The first CR or LF of data from `from` on, or `size` when there is none.
    static qsizetype lineEnd(const char *data, qsizetype from, qsizetype size)
    {
#if defined(__SSE2__)
        // Sixteen bytes compared at once: a line of the board is about thirty.
        const __m128i cr = _mm_set1_epi8('\r');
        const __m128i lf = _mm_set1_epi8('\n');
        for (; from + 16 <= size; from += 16) {
            const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i *>(data + from));
            const int ends =
                _mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(v, cr), _mm_cmpeq_epi8(v, lf)));
            if (ends != 0)
                return from + std::countr_zero(unsigned(ends));
        }
#endif
        for (; from < size; ++from) {
            if (data[from] == '\r' || data[from] == '\n')
                return from;
        }
        return size;
    }

private:
    void keep(const char *bytes, qsizetype size)
    {
        const qsizetype room = kMaxLineBytes - m_carry.size();
        if (room > 0 && size > 0)
            m_carry.append(bytes, std::min(size, room));
        m_started = m_started || size > 0;
    }

    QByteArray m_carry;     // the start of a line that runs over the end of a piece
    bool m_started = false; // bytes of an unfinished line were seen
    bool m_afterCr = false; // the last piece ended with CR: a LF first in the next belongs to it
    qint64 m_offset = 0;    // file offset of the next piece
    qint64 m_lineStart = 0; // file offset of the line being gathered
    qint64 m_lines = 0;
};

} // namespace platine
