#pragma once
// The pass over a whole acquisition file, fed its bytes in pieces as they are read. It sorts the
// lines as every read of rows does (LineSorter) and keeps what browsing the file needs, without
// the values of its rows: their count, the file offset of every kRowsPerOffset-th row, the first
// rows (as many as the store holds, the first window), the overview and the figures of every
// block of kRowsPerOffset rows (model/Figures.h). It is no thread's: the
// long-file reader runs it in its thread and hands what it found over; a test or a fuzz target
// runs it on bytes in memory.
//
// With a helper (FilePass::Helper), a second thread shares the work of each piece: the lines that
// end in it, but the first, are cut at line ends into parts of about equal bytes; each part is split
// into lines and sorted, by whichever thread takes it first, with a splitter and a sorter of its own
// that number its lines from 1; the pass's thread then keeps the rows of the parts in file order
// and adds up their counts, their line numbers shifted by the lines before. What the pass keeps is
// the same as without a helper, to the bit.

#include "model/AcquisitionReader.h"
#include "model/Figures.h"
#include "model/LineSplitter.h"
#include "model/Overview.h"

#include <array>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

namespace platine {

class FilePass
{
public:
    static constexpr qint64 kRowsPerOffset = FigureIndex::kBlockRows;

    // A second thread that sorts lines for a pass, from its creation to its destruction (the
    // length of a read, not of a piece). One pass at a time uses it.
    class Helper
    {
    public:
        Helper();
        ~Helper(); // ends the thread
        Helper(const Helper &) = delete;
        Helper &operator=(const Helper &) = delete;

    private:
        friend class FilePass;
        static constexpr int kParts = 32;
        struct Part {
            const char *bytes = nullptr; // from a line start to just after a line end
            qsizetype size = 0;
            qint64 offset = 0; // in the file
            qint64 lines = 0;
            LineSorter sorter;                              // of its lines, numbered from 1
            std::vector<std::pair<qint64, RowValues>> rows; // offset and values of its rows
            void sort();
        };

        // The parts of a piece, sorted by the helper thread, and by the pass's thread while the
        // part it keeps next is not sorted yet.
        void publish(int parts);
        // Sorts parts until part k is sorted (by either thread).
        void waitSorted(int k);
        void run();

        std::array<Part, kParts> m_parts;

        std::mutex m_mutex;               // guards what follows
        std::condition_variable m_toSort; // parts published, or the end
        std::condition_variable m_sorted; // a part sorted
        int m_published = 0;              // parts of the piece to sort
        int m_taken = 0;                  // parts a thread took, in order
        bool m_helperSorts = false;       // the helper thread sorts a part
        std::array<bool, kParts> m_done{};
        bool m_end = false;
        std::thread m_thread; // last: started once the rest is made
    };

    // A pass over a file of `size` bytes: room is made at once for the first rows it can hold.
    explicit FilePass(qint64 size = 0);

    // Goes through the lines that end in the next bytes of the file; with a helper, two threads
    // sort them.
    void feed(const char *bytes, qsizetype size, Helper *helper = nullptr);
    // At the end of the file: the last line, when it has no line end.
    void finish();

    qint64 rows() const { return m_rows; } // complete data rows so far
    qint64 lines() const { return m_lines.lines(); }
    const LineSorter &sorter() const { return m_sorter; }
    const Overview &overview() const { return m_overview; }

    // The offsets of rows 0, kRowsPerOffset, 2 * kRowsPerOffset ... found since the last call,
    // moved out.
    std::vector<qint64> takeOffsets() { return std::exchange(m_offsets, {}); }
    // The first rows, as many as the store holds, moved out: once there are that many (no more
    // are kept after), or at the end of the file.
    std::vector<RowValues> takeFirstRows() { return std::exchange(m_firstRows, {}); }
    // The figures of the blocks completed since the last call (at the end of the file, the last
    // block too, however short), moved out.
    std::vector<Figures> takeBlocks() { return std::exchange(m_blocks, {}); }

private:
    void take(QByteArrayView line, qint64 offset);
    // A row, after those kept before.
    void keep(const RowValues &values, qint64 offset);
    void feedShared(const char *bytes, qsizetype size, Helper &helper);

    LineSplitter m_lines;
    LineSorter m_sorter;
    Overview m_overview;
    RowValues m_values{};
    qint64 m_rows = 0;
    std::vector<qint64> m_offsets;
    std::vector<RowValues> m_firstRows;
    Figures m_block; // of the block being read
    std::vector<Figures> m_blocks;
};

} // namespace platine
