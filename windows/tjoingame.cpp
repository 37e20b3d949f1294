#include "tjoingame.h"

#include "netdialogkit.h"

#include <QComboBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {

QString noteText(int defaultPort)
{
    return QStringLiteral("The host's name or address; add \":port\" when the port is not %1.\n"
                          "For example: vexlo.example.org   192.168.1.20:7773   [2001:db8::7]:7773")
        .arg(defaultPort);
}

} // namespace

Tjoingame::Tjoingame(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("joingame"));
    QFormLayout *form = vexlo::netdialog::build(this, QStringLiteral("Join Network Game"));

    edit_name = new QLineEdit(this);
    edit_name->setObjectName(QStringLiteral("edit_name"));
    edit_name->setMaxLength(MaxNameLength);
    vexlo::netdialog::addRow(form, QStringLiteral("Your Name:"), edit_name);

    combo_address = new QComboBox(this);
    combo_address->setObjectName(QStringLiteral("combo_address"));
    combo_address->setEditable(true);
    combo_address->setInsertPolicy(QComboBox::NoInsert);
    combo_address->setMaxVisibleItems(10);
    vexlo::netdialog::addRow(form, QStringLiteral("Host Address:"), combo_address);

    label_note = vexlo::netdialog::addNote(form, noteText(7772));
    label_note->setWordWrap(false);
    label_error = vexlo::netdialog::addErrorLine(form);
    button_ok = vexlo::netdialog::addButtons(this, form, QStringLiteral("Join"));
    connect(button_ok, &QPushButton::clicked, this, &Tjoingame::button_okClick);
}

void Tjoingame::setChoices(const QString &name, const QStringList &recentHosts, int defaultPort)
{
    label_note->setText(noteText(defaultPort));
    edit_name->setText(name);
    combo_address->clear();
    combo_address->addItems(recentHosts);
    combo_address->setCurrentIndex(recentHosts.isEmpty() ? -1 : 0);
    label_error->hide();
    (name.isEmpty() ? static_cast<QWidget *>(edit_name) : combo_address)->setFocus();
}

QString Tjoingame::playerName() const
{
    return edit_name->text().trimmed();
}

QString Tjoingame::addressText() const
{
    return combo_address->currentText().trimmed();
}

vexlo::HostAddressText Tjoingame::address() const
{
    return vexlo::parseHostAddress(combo_address->currentText());
}

void Tjoingame::button_okClick()
{
    QString problem;
    QWidget *field = nullptr;
    if (playerName().isEmpty()) {
        problem = QStringLiteral("Type the name the others will see.");
        field = edit_name;
    } else if (const vexlo::HostAddressText a = address(); !a.ok()) {
        problem = a.error;
        field = combo_address;
    }
    if (field) {
        label_error->setText(problem);
        label_error->show();
        field->setFocus();
        return;
    }
    accept();
}
