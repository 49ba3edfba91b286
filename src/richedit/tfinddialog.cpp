#include "tfinddialog.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

TFindDialog::TFindDialog(bool replace, QWidget *parent) : QDialog(parent), m_replace(replace)
{
    setObjectName(replace ? QStringLiteral("ReplaceDialog") : QStringLiteral("FindDialog"));
    setWindowTitle(replace ? tr("Replace") : tr("Find"));
    setModal(false);

    auto *fields = new QFormLayout;
    m_findEdit = new QLineEdit(this);
    m_findEdit->setObjectName(QStringLiteral("edtFind"));
    fields->addRow(tr("Fi&nd what:"), m_findEdit);
    if (replace) {
        m_replaceEdit = new QLineEdit(this);
        m_replaceEdit->setObjectName(QStringLiteral("edtReplace"));
        fields->addRow(tr("Re&place with:"), m_replaceEdit);
    }
    m_matchCase = new QCheckBox(tr("Match &case"), this);
    m_matchCase->setObjectName(QStringLiteral("chkMatchCase"));
    m_wholeWord = new QCheckBox(tr("Match &whole word only"), this);
    m_wholeWord->setObjectName(QStringLiteral("chkWholeWord"));

    auto *left = new QVBoxLayout;
    left->addLayout(fields);
    auto *optionsRow = new QHBoxLayout;
    auto *checks = new QVBoxLayout;
    checks->addWidget(m_wholeWord);
    checks->addWidget(m_matchCase);
    optionsRow->addLayout(checks);
    if (!replace) {
        // The replace dialog always searches forward, as word processors do.
        auto *direction = new QGroupBox(tr("Direction"), this);
        auto *dirLayout = new QHBoxLayout(direction);
        m_up = new QRadioButton(tr("&Up"), direction);
        m_up->setObjectName(QStringLiteral("rbUp"));
        auto *down = new QRadioButton(tr("&Down"), direction);
        down->setChecked(true);
        dirLayout->addWidget(m_up);
        dirLayout->addWidget(down);
        optionsRow->addWidget(direction);
    }
    left->addLayout(optionsRow);
    left->addStretch();

    auto *buttons = new QVBoxLayout;
    m_findNext = new QPushButton(tr("&Find Next"), this);
    m_findNext->setObjectName(QStringLiteral("btnFindNext"));
    m_findNext->setDefault(true);
    buttons->addWidget(m_findNext);
    if (replace) {
        m_replaceButton = new QPushButton(tr("&Replace"), this);
        m_replaceButton->setObjectName(QStringLiteral("btnReplace"));
        m_replaceAll = new QPushButton(tr("Replace &All"), this);
        m_replaceAll->setObjectName(QStringLiteral("btnReplaceAll"));
        buttons->addWidget(m_replaceButton);
        buttons->addWidget(m_replaceAll);
    }
    auto *cancel = new QPushButton(tr("Cancel"), this);
    cancel->setObjectName(QStringLiteral("btnCancel"));
    buttons->addWidget(cancel);
    buttons->addStretch();

    auto *layout = new QHBoxLayout(this);
    layout->addLayout(left, 1);
    layout->addLayout(buttons);

    connect(m_findEdit, &QLineEdit::textChanged, this, &TFindDialog::updateButtons);
    connect(m_findNext, &QPushButton::clicked, this,
            [this] { emit FindNext(findText(), options()); });
    if (replace) {
        connect(m_replaceButton, &QPushButton::clicked, this,
                [this] { emit Replace(findText(), replaceText(), options()); });
        connect(m_replaceAll, &QPushButton::clicked, this,
                [this] { emit ReplaceAll(findText(), replaceText(), options()); });
    }
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    updateButtons();
}

void TFindDialog::setFindText(const QString &text)
{
    m_findEdit->setText(text);
    m_findEdit->selectAll();
}

QString TFindDialog::findText() const
{
    return m_findEdit->text();
}

QString TFindDialog::replaceText() const
{
    return m_replaceEdit ? m_replaceEdit->text() : QString();
}

SearchOptions TFindDialog::options() const
{
    SearchOptions o;
    if (m_matchCase->isChecked())
        o |= SearchOption::MatchCase;
    if (m_wholeWord->isChecked())
        o |= SearchOption::WholeWord;
    if (m_up && m_up->isChecked())
        o |= SearchOption::Backward;
    return o;
}

void TFindDialog::updateButtons()
{
    const bool any = !m_findEdit->text().isEmpty();
    m_findNext->setEnabled(any);
    if (m_replaceButton) {
        m_replaceButton->setEnabled(any);
        m_replaceAll->setEnabled(any);
    }
}
