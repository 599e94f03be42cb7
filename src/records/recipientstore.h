#pragma once

#include <QStringList>

// The stored e-mail recipients (the email_user table) for those who take or replace the list
// whole: the mail service and the settings file. The recipient page edits rows through its model.
// All on the program's default connection.
namespace RecipientStore {

// In the order they were added; empty, and logged, when the table cannot be read.
QStringList read();
// The list becomes exactly `users`, in one transaction: on a failure the stored list stays as
// it was, and `error` says why.
bool replace(const QStringList &users, QString *error = nullptr);

} // namespace RecipientStore
