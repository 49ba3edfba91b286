#pragma once

/// @file thistoryform.h
/// The document history dialog.

#include "thistorylist.h"

#include <QDialog>

#include <functional>

class QListWidget;
class QPushButton;
class QToolButton;

/// Remembers every document opened with the frame's Open command or saved under a new
/// name, most recent first, across runs. The list file is read when the dialog is
/// created and written when it is destroyed; in between the frame and the document
/// windows change the lists through RecordOpenedFile() and RecordSavedFile(), also
/// while the dialog is hidden.
class THistoryForm : public QDialog {
    Q_OBJECT
public:
    /// Opens path in a new document window; false when it could not be loaded.
    using Opener = std::function<bool(const QString &path)>;

    /// Reads the list file at listFilePath ("File not Found!" when there is none; a
    /// file that exists but cannot be read is reported and not overwritten at the end).
    explicit THistoryForm(QWidget *parent = nullptr, const QString &listFilePath = ListFilePath());
    /// Writes the whole stored list back to the list file; a failure is reported.
    ~THistoryForm() override;

    /// "WrdFileList.dat" beside the executable, or in the user's configuration folder
    /// when the executable's folder is not writable. A path given to SetListFilePath()
    /// takes precedence.
    static QString ListFilePath();
    /// Makes ListFilePath() answer path; an empty path restores the default.
    static void SetListFilePath(const QString &path);

    void SetOpener(Opener opener) { m_opener = std::move(opener); }

    void RecordOpenedFile(const QString &path);
    /// Callers leave out files saved as Unicode text.
    void RecordSavedFile(const QString &path);
    /// The first shown entry ("Open Last Active Document"); empty when none is shown.
    QString FirstShownEntry() const { return m_list.FirstShown(); }
    bool ShownIsEmpty() const { return m_list.Shown().isEmpty(); }
    const QStringList &StoredList() const { return m_list.Stored(); }
    const QStringList &ShownList() const { return m_list.Shown(); }
    QString ListFileName() const { return m_listFilePath; }

public slots:
    void btnOpenClick();
    void btnRemoveClick();
    void btnClearClick();
    void btnSearchClick();
    void btnCloseClick();
    void FilterClick(THistoryFilter filter);
    void ListBox1Click();
    /// Tells the user when the current entry's file is gone.
    void CheckCurrentEntry();

protected:
    void showEvent(QShowEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildControls();
    /// Mirrors the shown list into ListBox1 with current as the current row, selected.
    void refreshList(int current);
    void selectCurrent();
    int currentRow() const;

    THistoryList m_list;
    QString m_listFilePath;
    Opener m_opener;
    bool m_selectFirstOnShow = false;
    // A list file that exists but could not be read is left as it is at the end.
    bool m_keepListFile = false;

    QListWidget *ListBox1 = nullptr;
    QPushButton *btnClear = nullptr;
    QPushButton *btnRemove = nullptr;
    QPushButton *btnSearch = nullptr;
    QPushButton *btnOpen = nullptr;
    QPushButton *btnClose = nullptr;
};
