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
// end in it, but the first, are cut at line ends into parts of about equal bytes. Each part is
// taken, in order, by whichever thread is free: it splits the part into lines and sorts them, with
// a splitter and a sorter of its own that number its lines from 1; once the parts before are
// sorted, their rows counted tell the file row of its first row, and the same thread keeps what
// the pass keeps of its rows (its blocks whole, the rows of the blocks it shares with the parts
// beside it, the overview's groups), while its rows are still in that core's cache. The pass's
// thread then adds the parts up in file order. What the pass keeps is the same as without a
// helper, to the bit: the sums of a block are made in row order by one thread.

#include "model/AcquisitionReader.h"
#include "model/Figures.h"
#include "model/LineSplitter.h"
#include "model/Overview.h"

#include <array>
#include <condition_variable>
#include <functional>
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
        struct alignas(64) Part {        // apart from the others' cache lines
            const char *bytes = nullptr; // from a line start to just after a line end
            qsizetype size = 0;
            qint64 offset = 0; // in the file
            qint64 lines = 0;
            LineSorter sorter;                              // of its lines, numbered from 1
            std::vector<std::pair<qint64, RowValues>> rows; // offset and values of its rows
            // What the pass keeps of its rows:
            std::vector<qint64> offsets;      // of those at a multiple of kRowsPerOffset
            std::vector<RowValues> firstRows; // of those among the first rows
            std::vector<Figures> blocks;      // of its whole blocks
            // Its rows outside its whole blocks: the `head` first ones before them, then those
            // after them (all of them when it has no whole block).
            std::vector<RowValues> loose;
            qsizetype head = 0;
            // Its rows in groups, each in one block of the overview, and their counts.
            std::vector<std::pair<OverviewSummary, qint64>> groups;

            void sort();
            // Once its first row is known to be row `first` of the file.
            void keep(qint64 first);
        };

        // The parts of a piece, its first row being row `first` of the file, for both threads to
        // sort and keep.
        void publish(int parts, qint64 first);
        // Sorts and keeps parts until part k is kept (by either thread).
        void waitKept(int k);
        // Sorts and keeps the next part; the lock held before and after.
        void process(std::unique_lock<std::mutex> &lock);
        void run();

        std::array<Part, kParts> m_parts;

        std::mutex m_mutex;               // guards what follows
        std::condition_variable m_toSort; // parts published, or the end
        std::condition_variable m_moved;  // a part sorted or kept
        int m_published = 0;              // parts of the piece
        int m_taken = 0;                  // parts a thread took, in order
        int m_counted = 0; // parts sorted from the first: the first rows of the next ones known
        std::array<qint64, kParts + 1> m_first{}; // the file row of each part's first row
        std::array<bool, kParts> m_sorted{};
        std::array<bool, kParts> m_kept{};
        bool m_end = false;
        std::thread m_thread; // last: started once the rest is made
    };

    // A pass over a file of `size` bytes: room is made at once for the first rows it can hold.
    explicit FilePass(qint64 size = 0);

    // Goes through the lines that end in the next bytes of the file; with a helper, two threads
    // sort them.
    // `afterPart`, when given, is called by this thread after each part is added up, while the
    // other thread sorts the parts after it, and once more at the end of the bytes: the caller
    // takes the blocks (and does other work of its own) then rather than after the last part,
    // and the other thread does not wait for it.
    void feed(const char *bytes, qsizetype size, Helper *helper = nullptr,
              const std::function<void()> &afterPart = {});
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
    // The figures of the blocks completed since the last clearBlocks() (at the end of the file,
    // the last block too, however short). Their table keeps its room from piece to piece.
    const std::vector<Figures> &blocks() const { return m_blocks; }
    void clearBlocks() { m_blocks.clear(); }

private:
    void take(QByteArrayView line, qint64 offset);
    // What the splitter hands each line to: take(), and on to the next line.
    auto lineTaker()
    {
        return [this](QByteArrayView line, qint64 offset) {
            take(line, offset);
            return true;
        };
    }
    // A row, after those kept before.
    void keep(const RowValues &values, qint64 offset);
    void feedShared(const char *bytes, qsizetype size, Helper &helper,
                    const std::function<void()> &afterPart);
    // What a helper's part kept, after the rows kept before.
    void keep(const Helper::Part &part);
    // A row of a block that is not whole in one part.
    void keepInBlock(const RowValues &values);

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
