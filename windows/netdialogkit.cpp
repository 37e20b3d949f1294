#include "netdialogkit.h"

#include "look.h"

#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace vexlo::netdialog {

QFormLayout *build(QDialog *dialog, const QString &heading)
{
    dialog->setWindowTitle(QStringLiteral("Vexlo - ") + heading);
    look::applyBackground(dialog);
    auto *column = new QVBoxLayout(dialog);
    column->setContentsMargins(22, 14, 22, 16);
    column->setSpacing(12);
    column->setSizeConstraint(QLayout::SetFixedSize); // grows when the error line shows
    auto *title = new QLabel(heading, dialog);
    title->setObjectName(QStringLiteral("label_heading"));
    title->setFont(look::arial(22, true));
    title->setAlignment(Qt::AlignCenter);
    column->addWidget(title);
    auto *form = new QFormLayout;
    form->setLabelAlignment(Qt::AlignRight | Qt::AlignVCenter);
    form->setHorizontalSpacing(12);
    form->setVerticalSpacing(10);
    column->addLayout(form);
    return form;
}

void addRow(QFormLayout *form, const QString &caption, QWidget *field)
{
    auto *label = new QLabel(caption);
    label->setFont(look::arial(15, true));
    label->setBuddy(field);
    styleField(field);
    form->addRow(label, field);
}

QLineEdit *addNameField(QDialog *dialog, QFormLayout *form, const QString &caption, int maxLength)
{
    auto *edit = new QLineEdit(dialog);
    edit->setObjectName(QStringLiteral("edit_name"));
    edit->setMaxLength(maxLength);
    addRow(form, caption, edit);
    return edit;
}

QComboBox *addressBox(QDialog *dialog)
{
    auto *box = new QComboBox(dialog);
    box->setObjectName(QStringLiteral("combo_address"));
    box->setEditable(true);
    box->setInsertPolicy(QComboBox::NoInsert);
    box->setMaxVisibleItems(10);
    return box;
}

void fillChoices(QLineEdit *name, QComboBox *address, QLabel *error, const QString &lastName,
                 const QStringList &recentHosts)
{
    name->setText(lastName);
    address->clear();
    address->addItems(recentHosts);
    address->setCurrentIndex(recentHosts.isEmpty() ? -1 : 0);
    error->hide();
    (lastName.isEmpty() ? static_cast<QWidget *>(name) : address)->setFocus();
}

QLabel *addNote(QFormLayout *form, const QString &text)
{
    auto *note = new QLabel(text);
    note->setWordWrap(true);
    note->setFont(look::arial(12));
    form->addRow(note);
    return note;
}

QLabel *addErrorLine(QFormLayout *form)
{
    auto *line = new QLabel;
    line->setObjectName(QStringLiteral("label_error"));
    line->setTextFormat(Qt::PlainText); // it may quote what the player typed
    line->setWordWrap(true);
    line->setFont(look::arial(13, true));
    line->setStyleSheet(QStringLiteral("QLabel { color: #ffb0a0; }"));
    line->hide();
    form->addRow(line);
    return line;
}

QPushButton *addButtons(QDialog *dialog, QFormLayout *form, const QString &confirm)
{
    auto *box = new QDialogButtonBox;
    QPushButton *ok = box->addButton(confirm, QDialogButtonBox::AcceptRole);
    ok->setObjectName(QStringLiteral("button_ok"));
    ok->setDefault(true);
    QPushButton *cancel = box->addButton(QStringLiteral("Cancel"), QDialogButtonBox::RejectRole);
    cancel->setObjectName(QStringLiteral("button_cancel"));
    QObject::connect(cancel, &QPushButton::clicked, dialog, &QDialog::reject);
    form->addRow(box);
    return ok;
}

void styleField(QWidget *field)
{
    field->setFont(look::arial(15));
    field->setMinimumWidth(230);
    field->setStyleSheet(QStringLiteral("%1 { background: %2; color: black; padding: 2px 4px; }")
                             .arg(QLatin1String(field->metaObject()->className()), look::peach().name()));
    look::showKeyboardFocus(field); // the peach style draws no focus of its own
}

} // namespace vexlo::netdialog
