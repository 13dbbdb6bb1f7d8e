#include "model/FilePass.h"

#include "model/AcquisitionData.h"

namespace platine {

FilePass::FilePass(qint64 size)
{
    // A data line has at least 19 bytes.
    m_firstRows.reserve(std::size_t(std::min<qint64>(AcquisitionData::kRows, size / 19 + 1)));
}

void FilePass::take(QByteArrayView line, qint64 offset)
{
    if (!m_sorter.sort(line, m_lines.lines(), m_values))
        return;
    if (m_rows % kRowsPerOffset == 0)
        m_offsets.push_back(offset);
    if (m_rows < AcquisitionData::kRows)
        m_firstRows.push_back(m_values);
    m_overview.add(m_values);
    ++m_rows;
}

void FilePass::feed(const char *bytes, qsizetype size)
{
    m_lines.feed(bytes, size, [this](QByteArrayView line, qint64 offset) {
        take(line, offset);
        return true;
    });
}

void FilePass::finish()
{
    m_lines.finish([this](QByteArrayView line, qint64 offset) {
        take(line, offset);
        return true;
    });
}

} // namespace platine
