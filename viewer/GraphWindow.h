#pragma once
// graph: the viewer window ("Graphique des acquisitions"). It holds the chart area with its axes,
// grid, graduations and channel labels, and every command of the viewer: file load, number of
// rows, line width, mode, channel selection, coefficient presets, cursors, value tables,
// demonstration data and "Retour".
//
// Controls are laid out at their design places in twips; every control carries its design name
// as objectName ("Label56(3)", "Command2(1)", "Line31(4)" for the line controls of the chart
// area; docs/controls.md maps them to the code). Building the window ends with the window load,
// which spaces the graduations, the grid lines and the channel labels. Closing the window with its
// close box deletes it; the program's state (store, chart state, demonstration generator, table
// cycle) is not the window's and survives.

#include <QPointer>
#include <QWidget>

#include <memory>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QScrollBar;

namespace platine {

class ChartArea;
class ChartView;
class FileDialog;
class LineControl;
struct ProgramState;

class GraphWindow : public QWidget
{
    Q_OBJECT
public:
    // dialogue1 is the main window's file dialog control; state is the program's.
    GraphWindow(FileDialog &dialogue1, ProgramState &state, QWidget *parent = nullptr);
    ~GraphWindow() override;

    ChartView &chartView();
    ChartArea *chartArea() const { return m_chartArea; }

    // Loads an acquisition file as "Ouvrir fichier" does once a file is chosen: when the file holds
    // acquisitions they replace the store's, and the period and capture-date lines read go to
    // their captions. What the load did is told in the help line, and in a message when it failed
    // or stopped early. False (nothing changed) when the file cannot be opened or holds no
    // acquisition.
    bool loadFile(const QString &path);

    // The place of a control in twips (left, top, width, height in its container), as designed
    // or as the window load moved it.
    static QRect twipsGeometry(const QWidget *control);

public Q_SLOTS:
    void openAcquisitionFile(); // "Ouvrir fichier"
    // Ctrl+S on the chart: its picture saved as a PNG file chosen in the save dialog, offered
    // under a name made from the capture date.
    void saveChartPicture();
    void applyCoefficientPreset(int index);
    void showPresetHelp(int index);
    void toggleChannel(int index);
    void showChannelHelp(int index); // also takes the channel's colour for printed values
    void showGraduations();          // analog mode
    void hideGraduations();          // logic mode
    void showOrHideCursors();
    void showRowCount();
    void setTraceWidth();
    void showNextTable();
    void zeroTables();       // "RAZ tableaux"
    void fillWithDemoData(); // "Aléatoire"

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    class View;
    friend class View;

    void buildChartArea();
    void buildCommands();
    void spaceChartControls();
    void place(QWidget *control, int left, int top, int width, int height);
    void moveTop(QWidget *control, int top);
    void fitWidth(QWidget *control);
    // Says text in the help line; with a title, also in a warning message of that title.
    void tell(const QString &text, const QString &warningTitle = {});
    QLabel *label(QWidget *parent, const QString &name, const QString &caption, int left, int top,
                  int width, int height);
    QPushButton *button(QWidget *parent, const QString &name, const QString &caption, int left,
                        int top, int width, int height);

    QPointer<FileDialog> m_dialogue1;
    ProgramState &m_state;
    std::unique_ptr<View> m_view;

    QGroupBox *m_modeFrame = nullptr;
    QGroupBox *m_commandsFrame = nullptr;
    ChartArea *m_chartArea = nullptr;
    LineControl *m_yAxis = nullptr;
    LineControl *m_baseline = nullptr;
    LineControl *m_gridLines[5] = {};
    LineControl *m_verticalCursor = nullptr;
    LineControl *m_horizontalCursor = nullptr;
    QLabel *m_graduations[5] = {};
    QLabel *m_channelLabels[9] = {};
    QLabel *m_logicZoomCaption = nullptr;
    QLabel *m_rowReadout = nullptr;
    QLabel *m_valueReadout = nullptr;

    QRadioButton *m_analogOption = nullptr;
    QRadioButton *m_logicOption = nullptr;
    QPushButton *m_drawButton = nullptr;
    QScrollBar *m_rowCountBar = nullptr;
    QLabel *m_rowCountLabel = nullptr;
    QLabel *m_periodLabel = nullptr;
    QPushButton *m_presetButtons[3] = {};
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
};

} // namespace platine
