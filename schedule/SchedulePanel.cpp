#include "schedule/SchedulePanel.h"

#include "board/BoardLink.h"
#include "platform/Dialogs.h"
#include "platform/SettingsDir.h"
#include "platform/TabOrder.h"
#include "platform/Twips.h"
#include "schedule/ScheduleSettings.h"

#include <QComboBox>
#include <QDate>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QTimer>

namespace platine {

namespace {

// Positions and sizes in twips.
constexpr int kFrame4Width = 13365;
constexpr int kFrame4Height = 8865;

constexpr int kFrame2Left = 360, kFrame2Top = 360, kFrame2Width = 6375, kFrame2Height = 6375;
constexpr int kMargin = 360;       // left margin inside Frame2
constexpr int kRowHeight = 375;    // text boxes, labels and the list
constexpr int kLabelWidth = 840;   // "Début" / "Fin"
constexpr int kBoxLeft = 1320;     // the column of time boxes
constexpr int kBoxWidth = 1455;
constexpr int kDaysLeft = 3240;    // days caption and list, right of the first window
constexpr int kDaysWidth = 2775;

// The six time rows, two per window with a gap between windows.
constexpr int timeRowTop(int k)
{
    return 600 + k * 540 + (k / 2) * 240;
}

constexpr int kPeriodTop = timeRowTop(5) + 720;
constexpr int kText3Top = kPeriodTop + 600;
constexpr int kCommand6Top = kText3Top + 660;

template <typename W>
W *place(W *widget, const QString &name, int left, int top, int width, int height)
{
    widget->setObjectName(name);
    widget->setGeometry(twipsRect(left, top, width, height));
    return widget;
}

QLabel *label(QWidget *parent, const QString &name, const QString &text, int left, int top,
              int width, int height = kRowHeight)
{
    auto *l = place(new QLabel(text, parent), name, left, top, width, height);
    l->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    return l;
}

QPushButton *button(QWidget *parent, const QString &name, const QString &caption, int left,
                    int top, int width, int height)
{
    return place(new QPushButton(caption, parent), name, left, top, width, height);
}

const QString kProgrammerTitle = QStringLiteral("Programmation des horaires d'acquisition");

void tell(QWidget *parent, MessageIcon icon, const QString &title, const QString &text)
{
    DialogService::instance().message(parent, icon, title, text);
}

} // namespace

SchedulePanel::SchedulePanel(QWidget *parent)
    : QFrame(parent), m_clock([] { return QDateTime::currentDateTime(); })
{
    setObjectName(QStringLiteral("Frame4"));
    setGeometry(twipsRect(0, 0, kFrame4Width, kFrame4Height));
    setAutoFillBackground(true); // the panel covers whatever lies beneath it

    m_frame2 = place(new QGroupBox(kProgrammerTitle, this), QStringLiteral("Frame2"), kFrame2Left,
                     kFrame2Top, kFrame2Width, kFrame2Height);

    for (int k = 0; k < kScheduleTimeCount; ++k) {
        const int top = timeRowTop(k);
        const bool start = k % 2 == 0;
        QLabel *caption = label(m_frame2, QStringLiteral("Label_t%1").arg(k),
                                start ? QStringLiteral("Début") : QStringLiteral("Fin"), kMargin,
                                top, kLabelWidth);
        m_text2[k] = place(new QLineEdit(m_frame2), QStringLiteral("Text2(%1)").arg(k), kBoxLeft,
                           top, kBoxWidth, kRowHeight);
        caption->setBuddy(m_text2[k]);
        // Six boxes under two captions: each says which end of which window it holds.
        m_text2[k]->setAccessibleName((start ? QStringLiteral("Début de la plage %1")
                                             : QStringLiteral("Fin de la plage %1"))
                                          .arg(k / 2 + 1));
    }

    QLabel *days = label(m_frame2, QStringLiteral("Label_jours"),
                         QStringLiteral("Jour(s) concerné(s)"), kDaysLeft, timeRowTop(0), kDaysWidth);
    m_combo1 = place(new QComboBox(m_frame2), QStringLiteral("combo1(0)"), kDaysLeft,
                     timeRowTop(1), kDaysWidth, kRowHeight);
    m_combo1->setEditable(true);
    m_combo1->setInsertPolicy(QComboBox::NoInsert); // a typed text stays a text of its own
    m_combo1->setMaxVisibleItems(kDayEntryCount);
    days->setBuddy(m_combo1);

    QLabel *period = label(m_frame2, QStringLiteral("Label_periode"),
                           QStringLiteral("Période d'acquisition  (2s - 120s)"), kMargin,
                           kPeriodTop, 3480);
    m_text2[kPeriodBox] = place(new QLineEdit(m_frame2), QStringLiteral("Text2(6)"), 3960,
                                kPeriodTop, 975, kRowHeight);
    period->setBuddy(m_text2[kPeriodBox]);

    m_text3 = place(new QLineEdit(QStringLiteral("...."), m_frame2), QStringLiteral("Text3"),
                    kMargin, kText3Top, kFrame2Width - 2 * kMargin, kRowHeight);
    m_text3->setReadOnly(true);
    m_text3->setAccessibleName(QStringLiteral("Réponse de la platine"));
    {
        QPalette p = m_text3->palette();
        p.setColor(QPalette::Base, p.color(QPalette::Button));
        m_text3->setPalette(p);
    }

    m_command6 = button(m_frame2, QStringLiteral("Command6(0)"), QStringLiteral("Heure PC"),
                        kMargin, kCommand6Top, 1815, 495);

    // Outside the editor, on the panel itself.
    m_command7 = button(this, QStringLiteral("Command7"), QStringLiteral("Programmer"), 7320, 600,
                        2175, 615);
    m_label5 = label(this, QStringLiteral("Label5"), QStringLiteral("..."), 7320, 1440, 2535);
    auto *credit = label(this, QStringLiteral("Label_credit"),
                         QStringLiteral("Acquisition de données sur carte SD"), kFrame2Left,
                         7260, 6375);
    QFont creditFont = credit->font();
    creditFont.setItalic(true);
    credit->setFont(creditFont);
    m_command5 = button(this, QStringLiteral("Command5"), QStringLiteral("Quitter"), 11400, 7920,
                        1575, 495);

    // Top to bottom, left to right within a row: the editor first, then the panel's own buttons.
    chainTabOrder({m_text2[0], m_text2[1], m_combo1, m_text2[2], m_text2[3], m_text2[4], m_text2[5],
                   m_text2[kPeriodBox], m_text3, m_command6, m_command7, m_command5});

    connect(m_command6, &QPushButton::clicked, this, &SchedulePanel::command6Click);
    connect(m_command7, &QPushButton::clicked, this, &SchedulePanel::command7Click);
    connect(m_command5, &QPushButton::clicked, this, &QWidget::hide);

    m_timer2 = new QTimer(this);
    m_timer2->setObjectName(QStringLiteral("Timer2"));
    m_timer2->setInterval(1000);
    connect(m_timer2, &QTimer::timeout, this, &SchedulePanel::timer2Tick);
    m_timer2->start();

    hide();
}

void SchedulePanel::setBoard(BoardLink *link, std::function<void()> clearReplies)
{
    m_link = link;
    m_clearReplies = std::move(clearReplies);
}

void SchedulePanel::setFileDialog(FileDialog *dialogue1)
{
    m_dialogue1 = dialogue1;
}

void SchedulePanel::setClock(std::function<QDateTime()> clock)
{
    m_clock = std::move(clock);
}

QLineEdit *SchedulePanel::text3() const
{
    return m_text3;
}

void SchedulePanel::initScheduleEditor()
{
    m_combo1->clear();
    m_combo1->addItems(dayListEntries());
    setComboPosition(0);
}

int SchedulePanel::comboPosition() const
{
    const QString text = m_combo1->currentText();
    const int index = m_combo1->currentIndex();
    if (index >= 0 && m_combo1->itemText(index) == text)
        return index;
    // The text was typed: it counts as an entry only when it is one, spelled exactly.
    return m_combo1->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
}

void SchedulePanel::setComboPosition(int position)
{
    if (position < 0 || position >= m_combo1->count()) {
        m_combo1->setCurrentIndex(-1);
        m_combo1->clearEditText();
        return;
    }
    m_combo1->setCurrentIndex(position);
    m_combo1->setEditText(m_combo1->itemText(position)); // also when the index did not change
}

ScheduleValues SchedulePanel::values() const
{
    ScheduleValues v;
    for (int i = 0; i < kScheduleTextCount; ++i)
        v.text2[i] = m_text2[i]->text();
    v.comboIndex = comboPosition();
    return v;
}

void SchedulePanel::applyStoredSchedule(const StoredSchedule &stored)
{
    for (int i = 0; i < kScheduleTextCount; ++i)
        m_text2[i]->setText(stored.text2[i]);
    if (stored.comboIndex)
        setComboPosition(*stored.comboIndex);
}

void SchedulePanel::readScheduleSettings(const QString &path)
{
    QString error;
    if (const std::optional<StoredSchedule> stored = loadScheduleFile(path, &error))
        applyStoredSchedule(*stored);
}

ProfileWriteResult SchedulePanel::writeScheduleSettings(const QString &path)
{
    return saveScheduleFile(path, values());
}

void SchedulePanel::command6Click()
{
    // The clock is read anew for each box, as the button always did.
    for (int k = 0; k < kScheduleTimeCount; ++k)
        m_text2[k]->setText(heurePcTimeText(m_clock().time()));
    setComboPosition(weekdayPosition(m_clock().date()));
}

void SchedulePanel::command7Click()
{
    // 1. Empty the reply displays before anything is read.
    if (m_clearReplies)
        m_clearReplies();
    else
        m_text3->clear();

    // 2. The period, corrected where the user sees it.
    QLineEdit *period = m_text2[kPeriodBox];
    const QString corrected = correctPeriod(period->text());
    if (corrected != period->text())
        period->setText(corrected);

    // 3. The body; a time box the frame cannot carry stops everything here.
    const ScheduleValues v = values();
    const int bad = firstInvalidTimeBox(v);
    if (bad >= 0) {
        tell(window(), MessageIcon::Warning, kProgrammerTitle,
             invalidTimeMessage(bad, v.text2[bad]));
        m_text2[bad]->setFocus(Qt::OtherFocusReason);
        m_text2[bad]->selectAll();
        return;
    }
    const std::optional<QByteArray> body = scheduleBody(v);
    if (!body)
        return; // cannot happen: the period is corrected and the time boxes are usable

    // 4. debug.ini, 5. param.ini: a failure does not stop the sending.
    QStringList unwritten;
    const ProfileWriteResult debug = writeDebugIni(debugIniPath(), *body);
    if (!debug.ok)
        unwritten << debug.error;
    const ProfileWriteResult param = writeScheduleSettings(paramIniPath());
    if (!param.ok)
        unwritten << param.error
                  << QStringLiteral("Ce programme ne sera pas rétabli au prochain démarrage.");

    // 6., 7. "B" + body to the board.
    if (m_link) {
        QString error;
        if (!m_link->sendToBoard(scheduleFrame(*body), &error))
            tell(window(), MessageIcon::Critical, kProgrammerTitle,
                 QStringLiteral("Le programme n'a pas été envoyé à la platine.\n") + error);
    }

    if (!unwritten.isEmpty())
        tell(window(), MessageIcon::Warning, kProgrammerTitle, unwritten.join(u'\n'));
}

void SchedulePanel::enregistrerClick()
{
    const std::optional<QString> path =
        m_dialogue1 ? m_dialogue1->showSave(QStringLiteral("*.txt"))
                    : DialogService::instance().saveFile(window(), QStringLiteral("*.txt"));
    if (!path || path->isEmpty())
        return;
    const ProfileWriteResult result = writeScheduleSettings(*path);
    if (!result.ok)
        tell(window(), MessageIcon::Warning, QStringLiteral("Enregistrer sous"),
             result.error + QStringLiteral("\nLe programme n'a pas été enregistré."));
}

void SchedulePanel::ouvrirClick()
{
    const std::optional<QString> path =
        m_dialogue1 ? m_dialogue1->showOpen(QStringLiteral("*.txt"))
                    : DialogService::instance().openFile(window(), QStringLiteral("*.txt"));
    if (!path || path->isEmpty() || *path == u"*.txt")
        return;
    QString error;
    const std::optional<StoredSchedule> stored = loadScheduleFile(*path, &error);
    if (!stored) {
        tell(window(), MessageIcon::Warning, QStringLiteral("Ouvrir"),
             QStringLiteral("Impossible de lire « %1 » : %2\nLe programme affiché n'a pas changé.")
                 .arg(*path, error));
        return;
    }
    applyStoredSchedule(*stored);
}

void SchedulePanel::timer2Tick()
{
    m_label5->setText(QLocale().toString(QDate::currentDate(), QLocale::ShortFormat));
}

} // namespace platine
