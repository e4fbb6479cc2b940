#include "StringTable.h"

#include <QCoreApplication>

QString LoadStringById(int id) {
    const char* source = EnglishStringById(id);
    return source ? QCoreApplication::translate("Strings", source) : QString();
}
