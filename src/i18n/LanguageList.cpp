#include "i18n/LanguageList.h"

#include "i18n/Languages.h"
#include "platform/Text.h"

const QStringList& LanguageListItems()
{
    static const QStringList items = [] {
        QStringList names;
        for (const LanguageRecord& language : AllLanguages())
            names.append(language.listName.toString());
        return names;
    }();
    return items;
}

int LanguageListIndex(const QString& languageName)
{
    const QString key = asciiUpper(languageName);
    const QStringList& items = LanguageListItems();
    int index = 0;
    for (int i = 0; i < items.size(); ++i) {
        if (asciiUpper(items[i]) == key)
            index = i;
    }
    return index;
}

QString LanguageKeyOfEntry(int index)
{
    const QStringList& items = LanguageListItems();
    return asciiUpper(items.value(index, items.first()));
}
