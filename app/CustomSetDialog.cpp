#include "app/CustomSetDialog.h"

#include "app/AnsiText.h"
#include "app/StatusNotice.h"
#include "common/Convert.h"
#include "trainer/LearningOrder.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include <algorithm>

namespace {

std::function<std::optional<std::string>(QWidget*)>& Chooser()
{
    static std::function<std::optional<std::string>(QWidget*)> chooser;
    return chooser;
}

} // namespace

CustomSetDialog::CustomSetDialog(QWidget* parent, const std::string& current) : QDialog(parent)
{
    setObjectName(QStringLiteral("CustomSetDialog"));
    setWindowTitle(QStringLiteral("Custom Set"));
    auto* layout = new QVBoxLayout(this);

    auto* label = new QLabel(QStringLiteral("&Characters, in the order you learn them:"), this);
    SetEdit = new QLineEdit(this);
    SetEdit->setObjectName(QStringLiteral("SetEdit"));
    SetEdit->setMinimumWidth(320);
    SetEdit->setMaxLength(200);
    std::string shown;
    std::transform(current.begin(), current.end(), std::back_inserter(shown), kalvo::UpCase);
    SetEdit->setText(ansi::FromAnsi(shown));
    SetEdit->setToolTip(QStringLiteral("Letters, digits and . , ? /, each once; spaces are ignored"));
    SetEdit->setAccessibleDescription(SetEdit->toolTip());
    label->setBuddy(SetEdit);
    layout->addWidget(label);
    layout->addWidget(SetEdit);

    ErrorLabel = new QLabel(this);
    ErrorLabel->setObjectName(QStringLiteral("ErrorLabel"));
    ErrorLabel->setWordWrap(true);
    ErrorLabel->setStyleSheet(QStringLiteral("color: #a00000"));
    layout->addWidget(ErrorLabel);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &CustomSetDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);

    InstallStatusNoticeAccessible();
    Notice = new StatusNotice(this);
}

void CustomSetDialog::accept()
{
    try {
        FSet = kalvo::ParseCustomSet(ansi::ToAnsi(SetEdit->text()));
    } catch (const kalvo::ELearningOrder& error) {
        const QString message = ansi::FromAnsi(error.what());
        ErrorLabel->setText(message);
        Notice->Announce(message);
        adjustSize(); // room for the message's lines
        SetEdit->setFocus(Qt::OtherFocusReason);
        return;
    }
    QDialog::accept();
}

std::optional<std::string> CustomSetDialog::Choose(QWidget* parent, const std::string& current)
{
    if (Chooser())
        return Chooser()(parent);
    CustomSetDialog dialog(parent, current);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.Set();
}

void CustomSetDialog::SetChooser(std::function<std::optional<std::string>(QWidget*)> chooser)
{
    Chooser() = std::move(chooser);
}
