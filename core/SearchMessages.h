#pragma once

#include <QString>

namespace core::msg {

// Warnings of the search that both the window (on choosing a mode) and the validation give, written once so
// that they cannot drift apart.
inline const QString kSezioneArticolo =
    QStringLiteral("Selezionare una Sezione prima di procedere con la ricerca articolo");
inline const QString kSezionePerArticolo =
    QStringLiteral("Selezionare una Sezione prima di procedere con la ricerca per articolo");
inline const QString kSezioneSubarticolo =
    QStringLiteral("Selezionare una Sezione prima di procedere con la ricerca subarticolo");
inline const QString kSezionePerSubarticolo =
    QStringLiteral("Selezionare una Sezione prima di procedere con la ricerca per subarticolo");
inline const QString kSezioneDaA = QStringLiteral("Selezionare una Sezione prima di procedere con la ricerca ''Da-A''");
inline const QString kCodiciCapitoloArticolo =
    QStringLiteral("I Codici Capitolo e Articolo devono avere una lunghezza di 3 caratteri ed essere composti da "
                   "una lettera e due numeri. Es. : 'A01'");
inline const QString kCodiceArticolo =
    QStringLiteral("Il Codice Articolo deve avere una lunghezza di 3 caratteri ed essere composto da una lettera "
                   "e due numeri. Es. : 'A01'");
inline const QString kCodiceCapitolo =
    QStringLiteral("Il Codice Capitolo deve avere una lunghezza di 3 caratteri ed essere composto da una lettera "
                   "e due numeri. Es. : 'P01'");

} // namespace core::msg
