#include "thostgame.h"

#include "netdialogkit.h"

#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>

Thostgame::Thostgame(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("hostgame"));
    QFormLayout *form = vexlo::netdialog::build(this, QStringLiteral("Host Network Game"));

    edit_name = vexlo::netdialog::addNameField(this, form, QStringLiteral("Your Name:"), MaxNameLength);

    edit_port = new QSpinBox(this);
    edit_port->setObjectName(QStringLiteral("edit_port"));
    edit_port->setRange(MinPort, 65535);
    edit_port->setGroupSeparatorShown(false);
    vexlo::netdialog::addRow(form, QStringLiteral("Port:"), edit_port);

    vexlo::netdialog::addNote(form, QStringLiteral("The others join this computer's name or address, adding "
                                                   "\":port\" when the port is not 7772. Let the port through "
                                                   "the firewall."));
    label_error = vexlo::netdialog::addErrorLine(form);
    button_ok = vexlo::netdialog::addButtons(this, form, QStringLiteral("Host"));
    connect(button_ok, &QPushButton::clicked, this, &Thostgame::button_okClick);
}

void Thostgame::setChoices(const QString &name, int port)
{
    edit_name->setText(name);
    edit_port->setValue(port);
    label_error->hide();
    edit_name->setFocus();
    edit_name->selectAll();
}

QString Thostgame::playerName() const
{
    return edit_name->text().trimmed();
}

int Thostgame::port() const
{
    return edit_port->value();
}

void Thostgame::button_okClick()
{
    if (playerName().isEmpty()) {
        label_error->setText(QStringLiteral("Type the name the others will see."));
        label_error->show();
        edit_name->setFocus();
        return;
    }
    accept();
}
