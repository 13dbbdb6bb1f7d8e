#pragma once
// graph: the viewer window ("Graphique des acquisitions"). It holds the chart area with its axes,
// grid, graduations and channel labels, and every command of the viewer: file load, number of
// rows, line width, mode, channel selection, coefficient presets, cursors, value tables,
// demonstration data and "Retour". Under them, a band added to the design: the overview of the
// whole file (`apercu`) and the caption of the rows shown (`lignes`).
//
// Controls are laid out at their design places in twips; every control carries its design name
// as objectName ("Label56(3)", "Command2(1)", "Line31(4)" for the line controls of the chart
// area; docs/controls.md maps them to the code). Building the window ends with the window load,
// which spaces the graduations, the grid lines and the channel labels. Closing the window with its
// close box deletes it; the program's state (store, chart state, demonstration generator, table
// cycle) is not the window's and survives. So does the file session (viewer/FileSession.h): the
// window opens files and moves through them by calling it, and shows what its signals tell.

#include "chart/ChartInputs.h"
#include "chart/SpanView.h"
#include "model/Channel.h"
#include "model/Coefficients.h"
#include "viewer/FrameThrottle.h"

#include <QPointer>
#include <QWidget>

#include <array>
#include <utility>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QScrollBar;
class QShortcut;

namespace platine {

class ChartArea;
class FileDialog;
class LineControl;
class OverviewStrip;
struct ProgramState;
struct SessionReport;

class GraphWindow : public QWidget
{
    Q_OBJECT
public:
    // fileDialog is the main window's file dialog; state is the program's.
    GraphWindow(FileDialog &fileDialog, ProgramState &state, QWidget *parent = nullptr);
    ~GraphWindow() override;

    ChartArea *chartArea() const { return m_chartArea; }
    // What the chart's drawings and handlers take from the controls, as they stand.
    ChartInputs chartInputs() const;

    // Loads an acquisition file as "Ouvrir fichier" does once a file is chosen. The file is read
    // in the background, its progress told in the help line; as soon as its first rows are read
    // (all of them, or as many as the store holds), the store becomes a window on them from row
    // 0, the period and capture-date lines read go to their captions and the full view is drawn.
    // The end of the load is told in the help line, and in a message when the file could not be
    // opened or read, or lines were skipped, or fields read as 0. A file without a complete data
    // row changes nothing. Escape stops the load, wherever the focus is in the window.
    void loadFile(const QString &path);

public Q_SLOTS:
    // The chart: "Tracer", and the chart area's mouse and keys.
    void drawChart();
    void followMouse(float x, float y);
    void clickChart(int button, float x, float y);
    void stepZoomView(int keyCode); // and the keys that move through the file and zoom
    // The wheel over the chart: zooms the file's span around the mouse, or moves it along.
    void turnWheel(double notches, bool along, float x);

    void openAcquisitionFile(); // "Ouvrir fichier"
    // Ctrl+S on the chart: its picture saved as a PNG file chosen in the save dialog, offered
    // under a name made from the capture date.
    void saveChartPicture();
    void applyCoefficientPreset(int index);
    void showPresetHelp(int index);
    void toggleChannel(Channel c);
    void showChannelHelp(Channel c); // also takes the channel's colour for printed values
    void showGraduations();          // analog mode
    void hideGraduations();          // logic mode
    void showOrHideCursors();
    void showRowCount();
    void setTraceWidth();
    void showNextTable();
    void zeroTables();         // "RAZ tableaux"
    void fillWithDemoData();   // "Aléatoire"
    void showFileStatistics(); // the figures of the whole file

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    void buildWindow(); // the controls at their places, and the window load
    void buildChartArea();
    void buildFileBand();
    // What the file session tells: a new window (drawn), the file read further (captions, overview),
    // the store written over (caption, overview), a report.
    void connectSession();
    void showFileState();
    void showShownRows(); // the `lignes` caption for what the store holds
    void showReports();
    void showReport(const SessionReport &report);
    void showOverview();
    void buildCommands();
    // Spans of the file (GraphWindowSpan.cpp).
    double visibleTwips() const; // of the chart area's width, inside its border
    ChartSpan shownSpan() const;
    bool spanCanMove() const;
    bool zoomByKey(int keyCode); // "+", "-", and the arrows over a span: false for other keys
    void showSpan(const ChartSpan &span);
    // The `valeurs` line for the mouse at X x: written at most once a frame (a mouse sends moves
    // faster than the screen shows them, and the line's painting costs more than the rest of a
    // move).
    void showValuesAt(float x);
    void writeValues();
    // The figures of the file's rows first .. end - 1 in `statistiques`.
    // Written at most once a frame too: moving through a file with a key held down draws many
    // times a second.
    void showStatistics(qint64 first, qint64 end);
    void writeStatistics();
    QString statisticsOf(qint64 first, qint64 end);
    void spaceChartControls();
    Chart chart();
    void showChartOutput(const ChartOutput &out);
    void setTableText(const QString &text);
    void showSelection();
    // The channel label with design index i (0..8).
    QLabel *labelAt(int i) const;
    // Says text in the help line; with a title, also in a warning message of that title.
    void tell(const QString &text, const QString &warningTitle = {});
    QLabel *label(QWidget *parent, const QString &name, const QString &caption, int left, int top,
                  int width, int height);

    QPointer<FileDialog> m_fileDialog;
    ProgramState &m_state;
    ChannelFlags m_selection{true}; // what the channel labels show

    QGroupBox *m_modeFrame = nullptr;
    QGroupBox *m_commandsFrame = nullptr;
    ChartArea *m_chartArea = nullptr;
    LineControl *m_yAxis = nullptr;
    LineControl *m_baseline = nullptr;
    std::array<LineControl *, kGraduationCount> m_gridLines{};
    LineControl *m_verticalCursor = nullptr;
    LineControl *m_horizontalCursor = nullptr;
    std::array<QLabel *, kGraduationCount> m_graduations{};
    std::array<QLabel *, kChannelCount> m_channelLabels{}; // by Channel
    QLabel *m_logicZoomCaption = nullptr;
    QLabel *m_rowReadout = nullptr;
    QLabel *m_valueReadout = nullptr;

    QRadioButton *m_analogOption = nullptr;
    QRadioButton *m_logicOption = nullptr;
    QPushButton *m_drawButton = nullptr;
    QScrollBar *m_rowCountBar = nullptr;
    QLabel *m_rowCountLabel = nullptr;
    QLabel *m_periodLabel = nullptr;
    std::array<QPushButton *, kPresetCount> m_presetButtons{};
    QLineEdit *m_coefficient = nullptr;
    QScrollBar *m_widthBar = nullptr;
    QLabel *m_widthLabel = nullptr;
    QCheckBox *m_cursorsBox = nullptr;
    QLabel *m_captureDateLabel = nullptr;
    QPushButton *m_tableButton = nullptr;
    QPlainTextEdit *m_tableText = nullptr;
    QPushButton *m_demoButton = nullptr;
    QPushButton *m_zeroButton = nullptr;
    QPushButton *m_backButton = nullptr;
    QLabel *m_helpLine = nullptr;
    QPushButton *m_openButton = nullptr;

    OverviewStrip *m_overview = nullptr;
    QLabel *m_shownRows = nullptr;
    QLabel *m_valuesLine = nullptr;
    QPushButton *m_fileFigures = nullptr;
    QPlainTextEdit *m_statistics = nullptr;
    FrameThrottle *m_valuesDue = nullptr; // `valeurs` for the last X asked
    float m_valuesX = 0;
    FrameThrottle *m_statisticsDue = nullptr; // `statistiques` of the last rows asked
    std::pair<qint64, qint64> m_statisticsRows;
    // The span drawn in pixel columns, and the figures of its columns.
    SpanColumns m_spanColumns;
    std::vector<Figures> m_spanFigures;
    QShortcut *m_escape = nullptr; // stops a load, wherever the focus is in the window
};

} // namespace platine
