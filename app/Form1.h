#pragma once

#include "app/PlaylistIntake.h"
#include "runner/AVCHost.h"

#include <QCoreApplication>
#include <QHash>
#include <QImage>
#include <QPointer>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <QWidget>

#include <memory>

class AVC;
class ListGrid;
class glintbutton;
class SleekProgressBar;
class WebPane;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;

namespace brenlow {
struct Message;
class LinkLabel;
class PrivateFolder;
class PaneMouseFilter;
} // namespace brenlow

/**
 * The application's only window, "Brenlow 7.0": the download list and its buttons, the status
 * line, the progress bar and the web pane. It owns the process runner AVC1 and drives the whole
 * workflow from the runner's events: the three metadata runs that add a video (stages 1 to 3),
 * and the download queue (stage 5), one row after the other.
 *
 * Everything runs on the GUI thread. The handlers are public so that tests can drive the window
 * exactly as the user's clicks do.
 */
class Form1 : public QWidget, public AVCHost
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(Form1)

public:
    /** Stage numbers of CurrentStage. */
    enum Stage : int
    {
        Idle = 0,
        ProfileList = 1,
        Thumbnail = 2,
        VideoName = 3,
        ItemAdded = 4,
        Downloading = 5,
    };

    /** applicationFolder is the folder of do.dll and of the thumbnail file, without a trailing "/". */
    explicit Form1(const QString& applicationFolder = QCoreApplication::applicationDirPath(),
                   QWidget* parent = nullptr);
    ~Form1() override;

    /** Reads the window's bundled pictures (its icon, the buttons' and the bar's) ahead, so that
     *  start-up finds them ready. Needs no application object; safe on any thread. */
    static void PreparePictures();

    // AVCHost: what the runner reads at each run call.
    [[nodiscard]] QString TemplateText(int n) const override;
    /** The download folder of Text1 as the output template takes it: every "%" doubled. */
    [[nodiscard]] QString DownloadFolder() const override;
    [[nodiscard]] QString CurrentLink() const override { return m_currentLink; }
    [[nodiscard]] QString FormatCode() const override { return m_formatCode; }
    [[nodiscard]] QString DownloadLink() const override { return m_downloadLink; }
    [[nodiscard]] QString DownloadName() const override { return m_downloadName; }
    [[nodiscard]] QString ApplicationFolder() const override { return m_appFolder; }
    /** This window's private folder of the thumbnail file, made at start-up and removed at shutdown. */
    [[nodiscard]] QString ThumbnailFolder() const override { return m_thumbnailFolder; }

    // Buttons.
    void Command1_Click(); ///< "Add Video Link"
    void Command2_Click(); ///< "Browse..."
    void Command3_Click(); ///< "Cancel"
    void Command4_Click(); ///< "Delete"
    void Command5_Click(); ///< "Download"

    // Runner events.
    void AVC1_Converting();
    void AVC1_DataOutput(QString& strData);
    void AVC1_ErrorEvent(QString& ErrorMessage);
    void AVC1_Complete();

    // Download list events and the profile editor.
    void ListGrid1_BeforeEdit(int Row, int Col, bool& Cancel);
    void ListGrid1_AfterEdit(int Row, int Col, QString& New_Value, bool& Cancel);
    void ListGrid1_Click();
    void ListGrid1_CellHandClick(int Row, int Col, qint16& Shift);
    /** Enter commits the profile choice at once and is swallowed (KeyCode becomes 0). */
    void Combo1_KeyDown(int& KeyCode, int Shift);

    // Web pane and links.
    void wb_DocumentComplete();
    /** The watcher: hides the pane and opens the address in the user's browser once the pane has
     *  left the start page. Runs on a timer of its own, never on the runner's polling. */
    void WatcherTimer_Timer();
    void Label3_Click();
    void Label4_Click();
    void Label5_Click();
    /** Opens an address in the user's default program for it. */
    void GotoURL(const QString& URL);
    /** Hands an address to the user's browser; when none can be started, says why in Label1. */
    void openAddress(const QString& address);

    /** Shutdown: releases the runner, removes the mouse filter, deletes the thumbnail file.
     *  Runs once, from the close event or the destructor. */
    void Form_Unload();

    // State, for the screenshot script and tests.
    [[nodiscard]] int CurrentStage() const { return m_currentStage; }
    [[nodiscard]] int DownloadRow() const { return m_downloadRow; }
    [[nodiscard]] int StatusFrame() const { return m_statusFrame; }
    [[nodiscard]] QString Text4() const { return m_text4; }
    [[nodiscard]] QString Text5() const { return m_text5; }
    [[nodiscard]] QString Text2() const { return m_text2; }
    [[nodiscard]] QString ThumbnailPath() const;
    [[nodiscard]] AVC* AVC1() const { return m_avc; }
    [[nodiscard]] ListGrid* ListGrid1() const { return m_grid; }
    [[nodiscard]] QComboBox* Combo1() const { return m_combo; }
    [[nodiscard]] QLineEdit* Text1() const { return m_text1; }
    [[nodiscard]] QLabel* Label1() const { return m_label1; }
    /** The link labels: the maker's web site (5) and the two product pages (3, 4). */
    [[nodiscard]] brenlow::LinkLabel* Label3() const { return m_label3; }
    [[nodiscard]] brenlow::LinkLabel* Label4() const { return m_label4; }
    [[nodiscard]] brenlow::LinkLabel* Label5() const { return m_label5; }
    [[nodiscard]] SleekProgressBar* Progressbar() const { return m_progress; }
    [[nodiscard]] WebPane* wb() const { return m_wb; }
    [[nodiscard]] QTimer& WatcherTimer() { return m_watcherTimer; }
    /** Command1 .. Command5. */
    [[nodiscard]] glintbutton* Command(int n) const;

protected:
    void closeEvent(QCloseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void createControls();
    void placeControls();
    void setUpButtons();
    void setUpGrid();
    void connectEvents();
    void setUpAccessibility();
    void Form_Load();
    void setUpIcon();

    void setBusy(bool busy);
    [[nodiscard]] bool isBusy() const;
    void endChain();
    /** Shows a text in the status line Label1, whole inside the window. */
    void setStatus(const QString& text);
    /** Space kept between the status line and the window's edges, in pixels. */
    static constexpr int StatusMargin = 8;
    void clearText4();
    void keepOutputTail();
    void showText4Later();
    void showText4();
    void showMessage(const brenlow::Message& message);
    /** The "Error" box of a metadata run that gave nothing usable: the tool's reason under it. */
    void showRunError();
    /** Commits an open edit of the list into the row it belongs to, before any button acts. */
    void commitOpenEdit();
    /** The tool's reason for the failure of the run that just ended, from its own output. */
    [[nodiscard]] QString runFailureReason(qsizetype from = 0) const;

    void profileListStep();
    void videoNameStep();
    void downloadStep();
    void markRowComplete();
    /** Whether a file of the download folder is the video of a link: finished or begun by this
     *  window for it, or carrying it as its recorded origin. */
    [[nodiscard]] bool isOwnFile(const QString& path, const QString& link) const;
    /** Records the running row's files (finished or partial) as its own, here and on the files. */
    void recordOwnFiles();
    void StartDownload();
    void progressStep(const QString& chunk);
    void refillCombo(int row);

    QString m_appFolder;
    QString m_thumbnailFolder;
    std::unique_ptr<brenlow::PrivateFolder> m_thumbnailDir;

    // Window-level state.
    int m_currentStage = Idle;
    int m_statusFrame = 0;
    bool m_firstFrameFilledIn = false;
    bool m_iconSet = false;
    int m_downloadRow = 0;
    QString m_progressText;
    bool m_cancelPending = false;
    bool m_queueStalled = false;        // the tool went missing at a row: the queue waits on "Cancel"
    QSet<QString> m_queueNames;         // file names of this run of the queue, case-folded
    QStringList m_failedRows;           // "name" and reason of each row of this run that ended in "Error"
    QHash<QString, QString> m_ownFiles; // download files this window made: path -> link
    qsizetype m_rowOutputAt = 0;        // where the running row's output starts in m_rawOutput
    bool m_unloaded = false;

    // Values the runner reads.
    QString m_currentLink;
    QString m_formatCode;
    QString m_downloadLink;
    QString m_downloadName;

    // Hidden text boxes.
    QString m_txt[6];    // txt1 .. txt5
    QString m_text2;     // the pane's last loaded address
    QString m_text4;     // the tail of the current run's output, one line break before every chunk
    QString m_text5;     // scratch profile list
    QString m_rawOutput; // the same output without the chunk breaks
    QImage m_picWorking;

    AVC* m_avc = nullptr;
    QTimer m_watcherTimer;
    QTimer m_text4Timer;
    brenlow::PaneMouseFilter* m_mouseFilter = nullptr;

    ListGrid* m_grid = nullptr;
    glintbutton* m_command[6] = {};
    SleekProgressBar* m_progress = nullptr;
    QLineEdit* m_text1 = nullptr;
    QPlainTextEdit* m_text4Box = nullptr;
    QComboBox* m_combo = nullptr;
    WebPane* m_wb = nullptr;
    QLabel* m_label1 = nullptr;
    QLabel* m_label2 = nullptr;
    brenlow::LinkLabel* m_label3 = nullptr;
    brenlow::LinkLabel* m_label4 = nullptr;
    brenlow::LinkLabel* m_label5 = nullptr;

    // Links holding several videos (Form1Playlist.cpp).
    /** Takes a list form of the tool: asks, then starts adding its videos. False for any other output. */
    bool playlistListed();
    void addNextPlaylistVideo();
    void playlistVideoFailed(const QString& reason);
    void finishPlaylist();
    void endPlaylist();
    [[nodiscard]] QString playlistStatus() const;
    std::unique_ptr<brenlow::PlaylistIntake> m_playlist; // while the videos of a list are added
};
