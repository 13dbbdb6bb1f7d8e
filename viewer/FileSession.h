#pragma once
// The viewer's file session: what the viewer has loaded, is loading and is showing. The program's
// state keeps one for the whole run, so that it outlives every viewer window; a window reads it
// and calls it, and shows what its signals say.
//
// It owns the acquisition store and knows where its rows come from: a window of the file browsed
// (rows W .. W + 2000 of the file, W the window start), demonstration data or zeros written over
// it, or nothing yet. It owns the file browsed and the one being opened: a file opened is
// "pending" until it holds its first rows; only then does it replace the file browsed (whose load,
// if it still ran, stops there). A file without a complete row changes nothing, and the load that
// ran goes on. A timer looks at the loads while they run; what they come to (the end of a load,
// a failure) is kept as a report until a window takes it, so that a window opened later still
// shows it. Reports are kept in the order things happened, and the end of a load is never told
// after news of a newer one.
//
// Every change is made before any signal is sent, so that a receiver that runs a nested event
// loop (a message box), in which the timer looks at the loads again, finds it whole.

#include "model/AcquisitionData.h"
#include "model/AcquisitionFile.h"

#include <QObject>
#include <QTimer>

#include <memory>
#include <optional>
#include <vector>

namespace platine {

class DemoGenerator;

// What the session has to tell the user; the window words it (viewer/LoadReport.h).
struct SessionReport {
    enum class Kind {
        Progress,   // a load runs
        Ended,      // a load ended (read whole, cancelled, failed, or without a complete row)
        OpenFailed, // the file could not be opened
        ReadFailed, // its first rows could not be read back
        MoveFailed, // a window of the file browsed could not be read
    };
    Kind kind = Kind::Progress;
    QString path;
    AcquisitionFileProgress progress; // Progress, Ended
    AcquisitionFileFailure failure;   // OpenFailed, ReadFailed, MoveFailed
};

class FileSession : public QObject
{
    Q_OBJECT
public:
    // Where the store's rows come from.
    enum class Source { Nothing, File, Demo, Zeros };

    explicit FileSession(QObject *parent = nullptr);
    ~FileSession() override;

    const AcquisitionData &store() const { return *m_store; }
    Source source() const { return m_source; }
    // The file browsed (null: none); its rows; the window start W of its window in the store.
    const AcquisitionFile *file() const { return m_file.get(); }
    qint64 fileRows() const;
    qint64 windowStart() const { return m_windowStart; }
    // The file's row in row 0 of the store, for the read-outs and tables: W for a window of the
    // file, 0 for anything else.
    qint64 firstShownRow() const { return m_source == Source::File ? m_windowStart : 0; }
    // The last row written by "Aléatoire" or "RAZ tableaux" (Source Demo or Zeros).
    int lastEditedRow() const { return m_lastEdited; }
    // Whether a file is being opened or the file browsed is still being read.
    bool loading() const;

    // "Ouvrir fichier": starts loading the file. A file pending before is dropped.
    void open(const QString &path);
    // Escape: stops the loads that run; what they read of a file browsed stays browsable.
    void cancel();
    // Makes rows first .. first + 2000 of the file browsed the store's window, first kept within
    // the file's rows so that a full view of n + 1 rows is filled when the file is long enough.
    // False, with a report, when the file is no longer what was read; the store keeps its rows.
    bool moveWindow(qint64 first, int n);
    // The page keys, Home and End move the file's window as they do in the full view of n + 1
    // rows (from W, whatever the store shows). False for any other key, or without a file.
    bool moveByKey(int keyCode, int n);
    // The figures of the file browsed over the spans bounds[i] .. bounds[i + 1] - 1 (see
    // AcquisitionFile::figures), or of the store's rows for demonstration data and zeros. Nothing,
    // with a report, when the file is no longer what was read; nothing without rows.
    std::optional<std::vector<Figures>> figures(const std::vector<qint64> &bounds);
    // "Aléatoire" and "RAZ tableaux" on rows 0 .. n of the store.
    void fillWithDemoData(int n, DemoGenerator &generator);
    void zeroRows(int n);

    // The overview of the file browsed in `width` columns (none without a file): while it loads,
    // the last columns its reading thread made; then the whole file's.
    const std::vector<OverviewColumn> &overview(int width);
    // The reports not yet taken, oldest first; taking them empties the list.
    std::vector<SessionReport> takeReports() { return std::exchange(m_reports, {}); }

Q_SIGNALS:
    // The store holds a new window of the file browsed (a load's first rows, a move): the full view
    // is to be drawn.
    void windowMoved();
    // The store's rows are no longer the file's (demonstration data, zeros): nothing to redraw,
    // but the captions and the overview's marks change.
    void storeEdited();
    // The file browsed was read further: rows, header lines, overview.
    void fileProgressed();
    // How the newest load goes, while it runs.
    void loadProgressed(const SessionReport &report);
    // Reports wait in takeReports().
    void reportsDue();
    // loading() changed.
    void loadingChanged(bool loading);

private:
    // What a call changed, told once the change is whole.
    struct Changes {
        bool moved = false;
        bool edited = false;
        bool progressed = false;
        std::optional<SessionReport> live;
    };
    void poll();
    // Makes a pending file with rows the file browsed; false when its rows cannot be read.
    bool adopt(std::unique_ptr<AcquisitionFile> opened);
    void tellHeldEnd();
    // The store written over with rows 0 .. n of something else than the file.
    void edited(Source source, int n);
    void tell(const Changes &changes);

    std::unique_ptr<AcquisitionData> m_store; // large: kept off the stack
    Source m_source = Source::Nothing;
    std::unique_ptr<AcquisitionFile> m_file;
    std::unique_ptr<AcquisitionFile> m_pending;
    qint64 m_windowStart = 0;
    int m_lastEdited = 0;
    bool m_endDue = false; // the end of the browsed file's load is still to be told
    // The browsed file's end, come while a newer file was pending: told before the newer file's
    // own end if that one changes nothing, dropped if the newer file replaces it.
    std::optional<SessionReport> m_heldEnd;
    std::vector<SessionReport> m_reports;
    std::vector<OverviewColumn> m_columns;
    bool m_columnsWhole = false; // m_columns is of the whole file
    bool m_wasLoading = false;
    quint64 m_telling = 0; // calls of tell(), so that a nested one is noticed
    QTimer m_timer;
};

} // namespace platine
