#include "TypedNames.h"

#include <QComboBox>
#include <QCompleter>
#include <QSortFilterProxyModel>

void CompleteWithoutReplacingNames(QComboBox* box, Qt::CaseSensitivity cs)
{
    // Inline completion takes the first listed name that starts with the
    // typed text. In sorted order a name comes before every name it begins,
    // so a name typed whole is its own completion ("Rich" before
    // "Richmond"); the list itself keeps its order.
    auto* sorted = new QSortFilterProxyModel(box);
    sorted->setSourceModel(box->model());
    sorted->setSortCaseSensitivity(cs);
    sorted->sort(box->modelColumn());
    auto* completer = new QCompleter(sorted, box);
    completer->setCaseSensitivity(cs);
    completer->setCompletionMode(QCompleter::InlineCompletion);
    completer->setCompletionColumn(box->modelColumn());
    completer->setModelSorting(cs == Qt::CaseSensitive ? QCompleter::CaseSensitivelySortedModel
                                                       : QCompleter::CaseInsensitivelySortedModel);
    box->setCompleter(completer);
}
