#pragma once

#include <QDialog>
#include <QFlags>

class QCheckBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

/// How a search runs.
enum class SearchOption {
    MatchCase = 0x1,
    WholeWord = 0x2,
    Backward = 0x4,
};
Q_DECLARE_FLAGS(SearchOptions, SearchOption)
Q_DECLARE_OPERATORS_FOR_FLAGS(SearchOptions)

/// The editor's non-modal find dialog, or with replace on its replace dialog.
/// It only asks; the editor connected to its signals does the searching.
class TFindDialog : public QDialog
{
    Q_OBJECT
public:
    TFindDialog(bool replace, QWidget *parent = nullptr);

    void setFindText(const QString &text);
    QString findText() const;
    QString replaceText() const;
    SearchOptions options() const;

signals:
    void FindNext(const QString &text, SearchOptions options);
    void Replace(const QString &text, const QString &replacement, SearchOptions options);
    void ReplaceAll(const QString &text, const QString &replacement, SearchOptions options);

private:
    void updateButtons();

    bool m_replace;
    QLineEdit *m_findEdit = nullptr;
    QLineEdit *m_replaceEdit = nullptr;
    QCheckBox *m_matchCase = nullptr;
    QCheckBox *m_wholeWord = nullptr;
    QRadioButton *m_up = nullptr;
    QPushButton *m_findNext = nullptr;
    QPushButton *m_replaceButton = nullptr;
    QPushButton *m_replaceAll = nullptr;
};
