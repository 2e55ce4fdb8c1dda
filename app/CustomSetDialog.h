// The custom set's dialog: the learner types the characters of the set in the
// order they learn them ("kmrsu" or "K M R S U"). OK checks them
// (ParseCustomSet): a fault is shown under the box and spoken, the dialog stays
// open with the text as typed, and nothing changes; a valid set closes it.
//
// Choose shows it, filled with the set in use (empty for none), and gives the
// set as stored, or nothing when cancelled. Tests replace it with SetChooser
// (an empty function: the dialog again).
#pragma once

#include <QDialog>

#include <functional>
#include <optional>
#include <string>

class QLabel;
class QLineEdit;
class StatusNotice;

class CustomSetDialog : public QDialog {
    Q_OBJECT
public:
    CustomSetDialog(QWidget* parent, const std::string& current);

    static std::optional<std::string> Choose(QWidget* parent, const std::string& current);
    static void SetChooser(std::function<std::optional<std::string>(QWidget*)> chooser);

    const std::string& Set() const { return FSet; }
    void accept() override;

private:
    QLineEdit* SetEdit;
    QLabel* ErrorLabel;
    StatusNotice* Notice;
    std::string FSet;
};
