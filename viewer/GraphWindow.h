#pragma once
// graph: the viewer window ("Graphique des acquisitions"). It holds the chart area Picture1 with
// its axes, grid, graduations and channel labels, and every command of the viewer: file load,
// number of rows, line width, mode, channel selection, coefficient presets, cursors, value tables,
// demonstration data and "Retour".
//
// Controls are laid out at their design places in twips; every control carries its design name
// as objectName ("Label56(3)", "Command2(1)", "Line31(4)" for the line controls of the chart
// area). The window load (run by the constructor) spaces the graduations, the grid lines and the
// channel labels. Closing the window with its close box deletes it; the acquisition store, the
// chart state and the table counter are the program's and survive.
//
// The window implements the chart's view of it (chartView()); the chart connects "Tracer"
// (tracerButton()) and the chart area's mouse and key signals to its handlers.

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

class GraphWindow : public QWidget
{
    Q_OBJECT
public:
    // dialogue1 is the main window's file dialog control (not owned; may be null in tests).
    explicit GraphWindow(FileDialog *dialogue1, QWidget *parent = nullptr);
    ~GraphWindow() override;

    ChartView &chartView();
    ChartArea *chartArea() const { return m_picture1; }
    QPushButton *tracerButton() const { return m_command24; }

    // Loads an acquisition file as "Ouvrir fichier" does once a file is chosen: the store is
    // emptied and filled if the file opens, and the period and capture-date lines read go to
    // `periode` and `date_capture`. False (nothing changed) when the file cannot be opened.
    bool loadFile(const QString &path);

    // The place of a control in twips (left, top, width, height in its container), as designed
    // or as the window load moved it.
    static QRect twipsGeometry(const QWidget *control);

public Q_SLOTS:
    void Command1_Click();           // "Ouvrir fichier"
    void Command2_Click(int index);  // coefficient presets
    void Command2_MouseMove(int index);
    void Label56_MouseDown(int index);
    void Label56_MouseMove(int index);
    void Option1_Click();
    void Option2_Click();
    void Check9_Click();
    void HScroll1_Change();
    void HScroll2_Change();
    void Command26_Click();          // value tables
    void Command3_Click();           // "RAZ tableaux"
    void Command23_Click();          // "Aléatoire"
    void Command25_Click();          // "Retour"

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    class View;
    friend class View;

    void buildChartArea();
    void buildCommands();
    void formLoad();
    void place(QWidget *control, int left, int top, int width, int height);
    void moveTop(QWidget *control, int top);
    void fitWidth(QWidget *control);
    QLabel *label(QWidget *parent, const QString &name, const QString &caption, int left, int top,
                  int width, int height);

    QPointer<FileDialog> m_dialogue1;
    std::unique_ptr<View> m_view;

    QGroupBox *m_frame6 = nullptr;
    QGroupBox *m_frame7 = nullptr;
    ChartArea *m_picture1 = nullptr;
    LineControl *m_line29 = nullptr;
    LineControl *m_line30 = nullptr;
    LineControl *m_line31[5] = {};
    LineControl *m_curseur = nullptr;
    LineControl *m_curseurH = nullptr;
    QLabel *m_label58[5] = {};
    QLabel *m_label56[9] = {};
    QLabel *m_label54 = nullptr;
    QLabel *m_label59 = nullptr;
    QLabel *m_label64 = nullptr;

    QRadioButton *m_option1 = nullptr;
    QRadioButton *m_option2 = nullptr;
    QPushButton *m_command24 = nullptr;
    QScrollBar *m_hscroll1 = nullptr;
    QLabel *m_label61 = nullptr;
    QLabel *m_periode = nullptr;
    QPushButton *m_command2[3] = {};
    QLineEdit *m_coeff = nullptr;
    QScrollBar *m_hscroll2 = nullptr;
    QLabel *m_label63 = nullptr;
    QCheckBox *m_check9 = nullptr;
    QLabel *m_dateCapture = nullptr;
    QPushButton *m_command26 = nullptr;
    QPlainTextEdit *m_text5 = nullptr;
    QPushButton *m_command23 = nullptr;
    QPushButton *m_command3 = nullptr;
    QPushButton *m_command25 = nullptr;
    QLabel *m_aide = nullptr;
    QPushButton *m_command1 = nullptr;
};

} // namespace platine
