#include "app/Form1.h"

#include "app/ButtonDesign.h"
#include "app/DesignFonts.h"
#include "app/FormLayout.h"
#include "app/GridDesign.h"
#include "app/LinkLabel.h"
#include "app/MessageDetails.h"
#include "app/ResumeNext.h"
#include "app/Settings.h"
#include "app/ToolReason.h"
#include "app/WebPane.h"
#include "controls/button/ButtonPictures.h"
#include "controls/button/glintbutton.h"
#include "controls/common/BundledPicture.h"
#include "controls/common/Colors.h"
#include "controls/common/Surface.h"
#include "controls/grid/ListGrid.h"
#include "controls/progressbar/BarPictures.h"
#include "controls/progressbar/BarProperties.h"
#include "controls/progressbar/SleekProgressBar.h"
#include "platform/Dialogs.h"
#include "platform/Host.h"
#include "platform/PrivateFolder.h"
#include "runner/AVC.h"

#include <QApplication>
#include <QBackingStore>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHelpEvent>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPaintEvent>
#include <QPainter>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QTextCursor>
#include <QTextDocument>
#include <QToolTip>
#include <QWindow>
#include <algorithm>

static void initAppResources()
{
    Q_INIT_RESOURCE(app);
}

using brenlow::ResumeNext;
namespace Layout = brenlow::FormLayout;

namespace {

constexpr quint32 FormBackColor = 16045770; // RGB 202, 214, 244

/** The colour set of the window's progress bar. */
constexpr int BarColorSet = 2;

/** The window icon's bundled sizes. */
constexpr int IconSizes[] = {16, 32, 48, 64, 128};

/** How long after the window is built it has its icon, if no frame of it was shown before. */
constexpr int IconAtTheLatest = 1000;

QString iconPath(int size)
{
    return QStringLiteral(":/app/aaa-%1.png").arg(size);
}

QColor ole(quint32 c)
{
    return brenlow::OleColor::ToQColor(c);
}

/** Lets Form1 see the key presses of the profile editor before the combo box handles them. */
class ComboKeys final : public QObject
{
public:
    ComboKeys(Form1* form) : QObject(form), m_form(form) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::KeyPress) {
            auto* key = static_cast<QKeyEvent*>(event);
            int keyCode = (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) ? 13 : key->key();
            m_form->Combo1_KeyDown(keyCode, 0);
            if (keyCode == 0)
                return true;
        }
        return QObject::eventFilter(watched, event);
    }

private:
    Form1* m_form;
};

/** Shows why a row failed when the pointer rests on its status cell (the reason is the cell's tag). */
class StatusTips final : public QObject
{
public:
    StatusTips(ListGrid* grid, QObject* parent) : QObject(parent), m_grid(grid) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == m_grid && event->type() == QEvent::ToolTip) {
            const int row = m_grid->MouseRow();
            if (row >= 0 && row < m_grid->Rows() && m_grid->MouseCol() == brenlow::Col::Status) {
                const QString reason = m_grid->CellTag(row, brenlow::Col::Status);
                if (!reason.isEmpty()) {
                    // The reason is the tool's text, shown as it is, never as markup.
                    QToolTip::showText(static_cast<QHelpEvent*>(event)->globalPos(),
                                       Qt::convertFromPlainText(reason, Qt::WhiteSpacePre), m_grid);
                    return true;
                }
            }
        }
        return QObject::eventFilter(watched, event);
    }

private:
    ListGrid* m_grid;
};

} // namespace

Form1::Form1(const QString& applicationFolder, QWidget* parent)
    : QWidget(parent), m_appFolder(applicationFolder)
{
    initAppResources();
    while (m_appFolder.size() > 1 && m_appFolder.endsWith(QLatin1Char('/')))
        m_appFolder.chop(1);
    m_thumbnailFolder = m_appFolder;
    // The design's fonts, before any control asks for them.
    ResumeNext([] {
        brenlow::RegisterDesignFonts(QString::fromLatin1(brenlow::WineFontsFolder),
                                     qApp ? qApp->devicePixelRatio() : 1.0);
    });

    m_txt[1] = QString::fromLatin1(brenlow::Templates::txt1);
    m_txt[2] = QString::fromLatin1(brenlow::Templates::txt2);
    m_txt[3] = QString::fromLatin1(brenlow::Templates::txt3);
    m_txt[4] = QString::fromLatin1(brenlow::Templates::txt4);
    m_txt[5] = QString::fromLatin1(brenlow::Templates::txt5);
    m_text4 = QStringLiteral("Text4\r\n");

    setWindowTitle(QStringLiteral("Brenlow 7.0"));
    setFixedSize(brenlow::TwipsToPixels(Layout::ClientWidth), brenlow::TwipsToPixels(Layout::ClientHeight));
    QPalette pal = palette();
    pal.setColor(QPalette::Window, ole(FormBackColor));
    setPalette(pal);
    // The window fills its own background (paintEvent), so that its first frame can ask for the
    // backing store's memory in whole before the first pixel is drawn.
    setAttribute(Qt::WA_OpaquePaintEvent);
    // The design's small dialog font (fontconfig picks the nearest sans face without fonts-wine).
    QFont formFont(QStringLiteral("MS Sans Serif"));
    formFont.setPointSize(8);
    setFont(formFont);

    m_watcherTimer.setInterval(500);
    m_text4Timer.setSingleShot(true);
    m_text4Timer.setInterval(250);
    connect(&m_text4Timer, &QTimer::timeout, this, &Form1::showText4);

    createControls();
    placeControls();
    setUpButtons();
    connectEvents();
    Form_Load();
    setUpAccessibility();
}

Form1::~Form1()
{
    Form_Unload();
}

void Form1::PreparePictures()
{
    initAppResources();
    for (int size : IconSizes)
        (void)brenlow::ReadBundledPicture(iconPath(size), "png");
    brenlow::PrepareButtonPictures();
    // The bar starts with the default set before the window gives it its own.
    brenlow::PrepareBarPictures(brenlow::BarProperties().BarColorSet);
    brenlow::PrepareBarPictures(BarColorSet);
}

void Form1::createControls()
{
    // Creation order of the design; the hidden text boxes are plain members.
    m_combo = new QComboBox(this);
    m_combo->hide();
    m_combo->setEditable(false);
    m_combo->installEventFilter(new ComboKeys(this));

    m_command[1] = new glintbutton(this);
    m_progress = new SleekProgressBar(this);
    m_text1 = new QLineEdit(this);
    m_text1->setReadOnly(true);
    QPalette textPal = m_text1->palette();
    textPal.setColor(QPalette::Base, Qt::white);
    textPal.setColor(QPalette::Text, ole(brenlow::OleColor::Rgb(0, 0, 255)));
    m_text1->setPalette(textPal);

    m_text4Box = new QPlainTextEdit(this);
    m_text4Box->setReadOnly(true);
    m_text4Box->setPlainText(m_text4);
    m_grid = new ListGrid(this);
    m_grid->installEventFilter(new StatusTips(m_grid, this));
    m_command[5] = new glintbutton(this);
    m_command[3] = new glintbutton(this);
    m_command[4] = new glintbutton(this);
    m_command[2] = new glintbutton(this);

    m_wb = new WebPane(this);
    m_label5 = new brenlow::LinkLabel(QString::fromLatin1(brenlow::ProductSettings::MakerSiteCaption), this);
    m_label4 =
        new brenlow::LinkLabel(QString::fromLatin1(brenlow::ProductSettings::ProductPage2Caption), this);
    m_label3 =
        new brenlow::LinkLabel(QString::fromLatin1(brenlow::ProductSettings::ProductPage1Caption), this);
    m_label2 = new QLabel(QStringLiteral("Download Folder"), this);
    QPalette bluePal = m_label2->palette();
    bluePal.setColor(QPalette::WindowText, ole(brenlow::OleColor::Rgb(0, 0, 255)));
    m_label2->setPalette(bluePal);
    m_label1 = new QLabel(this);
    // The status line shows texts of the tool and of the system: never as markup.
    m_label1->setTextFormat(Qt::PlainText);
    QPalette redPal = m_label1->palette();
    redPal.setColor(QPalette::WindowText, QColor(192, 0, 0));
    m_label1->setPalette(redPal);
}

void Form1::placeControls()
{
    m_command[1]->setGeometry(Layout::Command1.ToPixels());
    m_command[4]->setGeometry(Layout::Command4.ToPixels());
    m_label5->setGeometry(Layout::Label5.ToPixels());
    m_grid->setGeometry(Layout::ListGrid1.ToPixels());
    m_text4Box->setGeometry(Layout::Text4.ToPixels());
    m_command[2]->setGeometry(Layout::Command2.ToPixels());
    m_label2->setGeometry(Layout::Label2.ToPixels());
    m_text1->setGeometry(Layout::Text1.ToPixels());
    m_command[5]->setGeometry(Layout::Command5.ToPixels());
    m_command[3]->setGeometry(Layout::Command3.ToPixels());
    m_label3->setGeometry(Layout::Label3.ToPixels());
    m_label4->setGeometry(Layout::Label4.ToPixels());
    m_progress->setGeometry(Layout::Progressbar.ToPixels());
    m_label1->setGeometry(Layout::Label1.ToPixels());
    m_wb->setGeometry(Layout::wb.ToPixels());
    // The output box stays hidden: its place lies inside the list, so in front it would cover the
    // rows and behind it nobody would see it. The tool's reason for a failure travels with the
    // "Error" and "Done" boxes and with the failed row's status cell instead.
    m_text4Box->hide();
    // Link captions may be longer than their boxes; let them show whole.
    for (QLabel* l :
         {static_cast<QLabel*>(m_label3), static_cast<QLabel*>(m_label4), static_cast<QLabel*>(m_label5)}) {
        const QRect r = l->geometry();
        l->resize(std::max(r.width(), l->sizeHint().width()), std::max(r.height(), l->sizeHint().height()));
    }
    if (m_label4->geometry().right() >= width())
        m_label4->move(width() - m_label4->width() - 8, m_label4->y());
    if (m_label5->geometry().right() >= width())
        m_label5->move(width() - m_label5->width() - 8, m_label5->y());
    m_label1->resize(m_label1->width(), std::max(m_label1->height(), m_label1->sizeHint().height()));
    m_label2->resize(std::max(m_label2->width(), m_label2->sizeHint().width()), m_label2->height());
}

void Form1::setUpButtons()
{
    for (int n = 1; n <= 5; ++n)
        ResumeNext([&] { m_command[n]->ReadProperties(brenlow::MainWindowButtonDesign(n)); });
    m_progress->SetBarColorSet(BarColorSet);
}

void Form1::connectEvents()
{
    connect(m_command[1], &glintbutton::Click, this, &Form1::Command1_Click);
    connect(m_command[2], &glintbutton::Click, this, &Form1::Command2_Click);
    connect(m_command[3], &glintbutton::Click, this, &Form1::Command3_Click);
    connect(m_command[4], &glintbutton::Click, this, &Form1::Command4_Click);
    connect(m_command[5], &glintbutton::Click, this, &Form1::Command5_Click);

    connect(m_grid, &ListGrid::BeforeEdit, this, &Form1::ListGrid1_BeforeEdit);
    connect(m_grid, &ListGrid::AfterEdit, this, &Form1::ListGrid1_AfterEdit);
    connect(m_grid, &ListGrid::Click, this, &Form1::ListGrid1_Click);
    connect(m_grid, &ListGrid::CellHandClick, this, &Form1::ListGrid1_CellHandClick);

    connect(m_wb, &WebPane::DocumentComplete, this, &Form1::wb_DocumentComplete);
    connect(&m_watcherTimer, &QTimer::timeout, this, &Form1::WatcherTimer_Timer);
    connect(m_label3, &brenlow::LinkLabel::Click, this, &Form1::Label3_Click);
    connect(m_label4, &brenlow::LinkLabel::Click, this, &Form1::Label4_Click);
    connect(m_label5, &brenlow::LinkLabel::Click, this, &Form1::Label5_Click);
}

void Form1::paintEvent(QPaintEvent* event)
{
    // The first frame on the screen; a paint before it (a grab) has no backing store image yet.
    if (!m_firstFrameFilledIn && windowHandle() && windowHandle()->isExposed() && backingStore()) {
        m_firstFrameFilledIn = true;
        if (auto* frame = dynamic_cast<QImage*>(backingStore()->paintDevice()))
            brenlow::FillInPages(*frame);
        // Handing the icon's sizes to the window system is the dearest step of showing the window,
        // and the frame does not need it.
        QTimer::singleShot(0, this, &Form1::setUpIcon);
    }
    QPainter(this).fillRect(event->rect(), palette().color(QPalette::Window));
}

void Form1::setUpIcon()
{
    if (m_iconSet)
        return;
    m_iconSet = true;
    ResumeNext([&] {
        QIcon icon;
        for (int size : IconSizes)
            icon.addPixmap(QPixmap::fromImage(brenlow::ReadBundledPicture(iconPath(size), "png")));
        setWindowIcon(icon);
        if (qApp && qApp->windowIcon().isNull())
            QApplication::setWindowIcon(icon);
    });
}

void Form1::Form_Load()
{
    // Each step runs even when one before it failed.
    // The icon follows the first frame (see paintEvent); a window that is never exposed still gets
    // it, a little later.
    QTimer::singleShot(IconAtTheLatest, this, &Form1::setUpIcon);
    ResumeNext([&] {
        m_avc = new AVC(*this, this);
        connect(m_avc, &AVC::Converting, this, &Form1::AVC1_Converting);
        connect(m_avc, &AVC::DataOutput, this, &Form1::AVC1_DataOutput);
        connect(m_avc, &AVC::ErrorEvent, this, &Form1::AVC1_ErrorEvent);
        connect(m_avc, &AVC::Complete, this, &Form1::AVC1_Complete);
    });
    m_statusFrame = 0;
    ResumeNext([&] { m_wb->Navigate(QString::fromLatin1(brenlow::ProductSettings::StartPage)); });
    ResumeNext([&] {
        m_mouseFilter = new brenlow::PaneMouseFilter(m_wb, this);
        qApp->installEventFilter(m_mouseFilter);
    });
    ResumeNext([&] {
        // The program may be installed where its user cannot write, and two windows may run at
        // once: the thumbnail goes to a folder of this window's own. Without one it falls back to
        // the application folder.
        m_thumbnailDir = brenlow::PrivateFolder::Create();
        m_thumbnailFolder = m_thumbnailDir ? m_thumbnailDir->Path() : m_appFolder;
        m_txt[2].replace(QString::fromLatin1(brenlow::Templates::ThumbnailPlaceholder), m_thumbnailFolder,
                         Qt::CaseSensitive);
    });
    ResumeNext([&] { setUpGrid(); });
}

void Form1::setUpGrid()
{
    // Drawing stays off from the stored design to the last column, so the list is drawn once.
    m_grid->SetRedraw(false);
    ResumeNext([&] { m_grid->ReadProperties(brenlow::ListGridDesign()); });
    m_grid->SetEditTrigger(10);
    m_grid->SetMinRowHeight(1400);
    for (const brenlow::DownloadListColumn& c : brenlow::DownloadListColumns) {
        ResumeNext([&] {
            const QString caption = QString::fromLatin1(c.Caption);
            if (c.CaptionAndWidthOnly)
                m_grid->AddColumn(caption, static_cast<float>(c.Width));
            else
                m_grid->AddColumn(caption, static_cast<float>(c.Width), c.Alignment, c.DataType, QString(),
                                  QString(), 4, c.WordWrap, 0, true, true);
        });
    }
    ResumeNext([&] { m_grid->SetColImageAlignment(brenlow::Col::Picture, 5); });
    ResumeNext([&] { m_grid->BindControl(brenlow::Col::Profile, m_combo); });
    ResumeNext([&] { m_grid->ColForceFit(); });
    m_grid->SetRedraw(true);
}

void Form1::closeEvent(QCloseEvent* event)
{
    if (!m_unloaded && m_currentStage == Downloading && m_avc && m_avc->IsRunning()) {
        // Closing ends the tool; a download is too dear to lose to a stray click. The short runs
        // that add a video are simply ended.
        brenlow::Message ask;
        ask.Text = QStringLiteral("A download is running. Stop it and close?");
        ask.Icon = brenlow::Dialogs::Icon::Question;
        ask.Buttons = brenlow::Dialogs::Buttons::YesNo;
        const QPointer<Form1> self(this);
        const brenlow::Dialogs::Answer answer = brenlow::ShowMessage(ask, QStringLiteral("Brenlow 7.0"));
        if (!self)
            return;
        if (answer != brenlow::Dialogs::Answer::Yes) {
            event->ignore();
            return;
        }
    }
    Form_Unload();
    event->accept();
}

void Form1::Form_Unload()
{
    if (m_unloaded)
        return;
    m_unloaded = true;
    ResumeNext([&] {
        delete m_avc;
        m_avc = nullptr;
    });
    ResumeNext([&] {
        if (m_mouseFilter && qApp)
            qApp->removeEventFilter(m_mouseFilter);
    });
    m_watcherTimer.stop();
    ResumeNext([&] { QFile::remove(ThumbnailPath()); });
    // The private folder goes with whatever the tool may have left in it.
    ResumeNext([&] { m_thumbnailDir.reset(); });
}

QString Form1::TemplateText(int n) const
{
    return n >= 1 && n <= 5 ? m_txt[n] : QString();
}

QString Form1::DownloadFolder() const
{
    // The folder is the front of the tool's output template, where "%" starts a field ("%(title)s"):
    // doubled, every "%" of the folder's name stays a "%".
    QString folder = m_text1->text();
    folder.replace(QLatin1Char('%'), QStringLiteral("%%"));
    return folder;
}

QString Form1::ThumbnailPath() const
{
    return m_thumbnailFolder + QStringLiteral("/aaa.jpg");
}

glintbutton* Form1::Command(int n) const
{
    return n >= 1 && n <= 5 ? m_command[n] : nullptr;
}

void Form1::setBusy(bool busy)
{
    ResumeNext([&] { m_grid->SetEnabled(!busy); });
    for (int n : {5, 1, 4, 2})
        m_command[n]->SetEnabled(!busy);
    m_command[3]->SetEnabled(busy);
}

bool Form1::isBusy() const
{
    return m_command[3]->Enabled() && !m_command[1]->Enabled() && !m_command[2]->Enabled() &&
           !m_command[4]->Enabled() && !m_command[5]->Enabled() && !m_grid->Enabled();
}

void Form1::endChain()
{
    setBusy(false);
}

void Form1::setStatus(const QString& text)
{
    // The line grows to the right of its place. A text too long for that room moves left so it
    // stays whole inside the window; one wider than the window gives way at its end and keeps
    // its whole text in the tool tip.
    const int widest = std::max(width() - 2 * StatusMargin, 0);
    const QFontMetrics metrics(m_label1->font());
    const QString shown =
        metrics.horizontalAdvance(text) > widest ? metrics.elidedText(text, Qt::ElideRight, widest) : text;
    m_label1->setText(shown);
    m_label1->setToolTip(shown == text ? QString() : text);
    m_label1->adjustSize();
    const int home = Layout::Label1.ToPixels().x();
    m_label1->move(
        std::clamp(width() - StatusMargin - m_label1->width(), StatusMargin, std::max(home, StatusMargin)),
        m_label1->y());
}

void Form1::clearText4()
{
    m_text4.clear();
    m_rawOutput.clear();
    m_text4Box->clear();
}

namespace {

// Drops the front of a run's output so that at most `keep` characters stay, starting at a line.
// Returns how many characters went.
qsizetype dropFront(QString& text, qsizetype keep)
{
    qsizetype cut = text.size() - keep;
    const qsizetype lineStart = text.indexOf(QLatin1Char('\n'), cut);
    if (lineStart >= 0 && lineStart - cut < 64 * 1024)
        cut = lineStart + 1;
    text.remove(0, cut);
    return cut;
}

} // namespace

void Form1::keepOutputTail()
{
    // A tool may flood its output. What the stages read (the table, the name line, the reason of a
    // failure) is at the end, so the window keeps a bounded tail rather than every byte it was sent.
    constexpr qsizetype limit = 8 * 1024 * 1024;
    constexpr qsizetype kept = 4 * 1024 * 1024;
    if (m_text4.size() > limit)
        dropFront(m_text4, kept);
    if (m_rawOutput.size() > limit)
        m_rowOutputAt = std::max<qsizetype>(0, m_rowOutputAt - dropFront(m_rawOutput, kept));
}

void Form1::showText4Later()
{
    // The box shows the tail of the output, a few times a second at most: a tool that floods its
    // output must not keep the window busy laying out text.
    if (m_text4Timer.isActive() || m_text4Box->isHidden())
        return;
    m_text4Timer.start();
}

void Form1::showText4()
{
    constexpr qsizetype shownTail = 16 * 1024;
    m_text4Box->setPlainText(m_text4.size() > shownTail ? m_text4.right(shownTail) : m_text4);
    m_text4Box->moveCursor(QTextCursor::End);
}

void Form1::showMessage(const brenlow::Message& message)
{
    brenlow::ShowMessage(message, QStringLiteral("Brenlow 7.0"));
}

void Form1::showRunError()
{
    setStatus(QStringLiteral("Error"));
    brenlow::Message box;
    box.Text = QStringLiteral("Error");
    box.Informative = brenlow::ShortReason(m_rawOutput, m_avc ? m_avc->LastExitCode() : -1);
    box.Details = brenlow::OutputForDetails(m_rawOutput);
    box.Icon = brenlow::Dialogs::Icon::Critical;
    showMessage(box);
}

void Form1::commitOpenEdit()
{
    // The profile editor holds the list of the row it edits; whatever the button does next may
    // refill it (a new video) or move the rows (Delete), so the choice is stored first.
    ResumeNext([&] {
        if (m_grid->EditPending())
            m_grid->UpdateCell(false);
    });
}

QString Form1::runFailureReason(qsizetype from) const
{
    const int exitCode = m_avc ? m_avc->LastExitCode() : -1;
    return brenlow::FailureReason(m_rawOutput.mid(from), exitCode);
}
