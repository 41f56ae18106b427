#include "tools/build/demo/ReferenceTexts.h"

namespace builder::demo {

namespace {

constexpr std::string_view kPrefazioneEPremesse = R"(PREFAZIONE E PREMESSE

Dal menu principale scegliere "Prefazione e Premesse". Si apre la finestra omonima; finché resta aperta il menu principale non è utilizzabile.

Nella casella "Sezioni", in alto, la prima voce è "Prefazione Prezzario": sceglierla per leggere la prefazione dell'edizione. Seguono le sezioni del prezzario, ciascuna con il codice, un trattino e il nome: scegliendone una compare nel riquadro sottostante la premessa della sezione, con le indicazioni generali sulle lavorazioni che contiene, sui criteri di misurazione e sugli oneri compresi o esclusi dai prezzi. Dopo la sezione 20 e dopo la sezione 23 l'elenco propone anche le sezioni 21 (Ingegneria Naturalistico e Recupero Ambientale) e 24 (Agricoltura), pubblicate in fascicoli separati, di cui si può leggere la premessa.

Si può anche scrivere direttamente nella casella il codice di due cifre di una sezione (per esempio 07): la premessa compare appena le due cifre corrispondono a una sezione. Se una sezione non ha premessa il riquadro resta vuoto.

Il testo si scorre con la barra laterale, con la rotellina del mouse o con i tasti freccia e Pagina su / Pagina giù dopo aver fatto clic nel riquadro; non può essere modificato. Per tornare al menu principale chiudere la finestra.)";

constexpr std::string_view kConsultazione = R"(CONSULTAZIONE

La consultazione permette di scorrere il prezzario livello per livello: sezione, capitolo, articolo, subarticolo. Dal menu principale scegliere "Consultazione"; finché la finestra resta aperta il menu principale non è utilizzabile.

Sezioni. Nella casella "Sezioni", in alto, scegliere una sezione. Nel riquadro "Note Sezione" compaiono le note della sezione e nell'elenco "Capitoli" i suoi capitoli, nell'ordine del prezzario, con il codice (sezione e capitolo, per esempio 01.A01) e la descrizione. Scegliendo un'altra sezione tutti gli elenchi sottostanti si svuotano e si ricompongono.

Capitoli. Un clic su un capitolo mostra il suo codice in "Codice Capitolo", le sue note in "Note Capitolo" e, nell'elenco "Articoli", gli articoli del capitolo in ordine di codice.

Articoli. Un clic su un articolo mostra il codice completo in "Codice Articolo", la descrizione intera in "Descrizione Articolo", le note in "Note Articolo" e, nell'elenco "Subarticoli associati", tutti i subarticoli dell'articolo con codice completo, descrizione, unità di misura, prezzo, incidenza della mano d'opera (in percentuale) e importo della mano d'opera lorda. Quando un prezzo o un dato di mano d'opera non è previsto la cella resta vuota.

Subarticoli. Un clic su un subarticolo ne mostra la descrizione intera nel riquadro "Descrizione Subarticolo", utile quando il testo è troppo lungo per la colonna dell'elenco.

Uso della tastiera. Tutta la consultazione si può fare senza mouse: scelta la sezione, il tasto Tab porta nell'elenco dei capitoli e poi in quello degli articoli; entrando in un elenco con Tab si carica subito il livello sottostante per la riga selezionata. Con i tasti freccia su e giù ci si sposta fra le righe e il livello sottostante si aggiorna a ogni spostamento. Maiusc+Tab torna indietro.

Le larghezze delle colonne si regolano trascinando il bordo delle intestazioni. Il menu "Informazioni" della finestra apre questo manuale sull'argomento Consultazione. Chiudendo la finestra si torna al menu principale.)";

constexpr std::string_view kRicerca = R"(RICERCA

Dal menu principale scegliere "Ricerca". La finestra permette quattro tipi di ricerca, ciascuno scelto con il proprio pulsante di opzione:
- testo: cerca un testo nelle descrizioni di capitoli, articoli e subarticoli;
- codice articolo: trova un articolo dal suo codice;
- codice subarticolo: trova un subarticolo dal suo codice;
- codice iniziale / codice finale: elenca tutto ciò che sta fra due codici (ricerca "Da-A").

Sezione. Prima di tutto scegliere nella casella "Sezione" la sezione in cui cercare. La prima voce, "Tutto il prezzario", vale solo per la ricerca per testo; le ricerche per codice e per intervalli richiedono una sezione precisa, il cui codice compare davanti alle caselle dei codici (per esempio "01.").

Esecuzione. Compilati i dati, premere "Esegui Ricerca". I risultati compaiono in tre elenchi: "Risultato Capitoli", "Risultato Articoli" e l'elenco dei subarticoli; sotto ciascuno è indicato il numero di elementi trovati. Se nulla corrisponde compare il messaggio "LA RICERCA NON HA FORNITO RISULTATI". Se manca un dato necessario un messaggio spiega che cosa completare e la ricerca non viene eseguita.

Navigazione nei risultati. Facendo clic su una riga, o entrando in un elenco con il tasto Tab, si approfondisce il risultato: il codice e la descrizione completa dell'articolo selezionato compaiono nelle caselle "Codice Articolo" e "Descrizione completa articolo selezionato"; a seconda del tipo di ricerca si vedono i subarticoli dell'articolo, gli articoli del capitolo o l'articolo a cui appartiene il subarticolo. I dettagli sono descritti negli argomenti dedicati a ciascun tipo di ricerca.

Pulisci. Il pulsante "Pulisci" riporta la finestra allo stato iniziale: toglie il tipo di ricerca, la sezione, i testi e i codici digitati, le spunte e tutti i risultati.

Stampa. Dopo una ricerca riuscita i pulsanti "Stampa" e quello con l'icona verde del foglio di calcolo diventano attivi (si disattivano di nuovo cambiando tipo di ricerca o sezione). Premendone uno si apre LibreOffice Calc con una nuova cartella di lavoro creata dal modello stampa.xls: la prima riga riporta il titolo del prezzario e la descrizione della ricerca, dalla terza riga in poi compaiono sezioni, capitoli, articoli e subarticoli trovati, con unità di misura, prezzi e dati della mano d'opera. La cartella resta aperta e non salvata: da LibreOffice Calc la si può stampare, modificare o salvare dove si preferisce; il modello non viene mai modificato. Se LibreOffice Calc non è installato un messaggio lo segnala e il programma continua a funzionare.

Il menu "Informazioni" apre questo manuale sugli argomenti della ricerca. Chiudendo la finestra si torna al menu principale.)";

constexpr std::string_view kRicercaTesto = R"(RICERCA PER TESTO

1. Nella casella "Sezione" scegliere una sezione oppure "Tutto il prezzario".
2. Selezionare l'opzione "testo:" e scrivere nella casella accanto il testo da cercare, di almeno due caratteri.
3. Spuntare dove cercarlo: "capitoli", "articoli", "subarticoli" (una o più caselle).
4. Premere "Esegui Ricerca".

Il testo viene cercato in qualunque punto delle descrizioni, senza distinzione fra maiuscole e minuscole: "calcestruzzo", "Calcestruzzo" e "CALCESTRUZZO" danno lo stesso risultato, e così le lettere accentate ("profondità", "PROFONDITÀ"). L'apostrofo si scrive normalmente: "dell'opera" trova le descrizioni che contengono dell'opera.

Caratteri jolly. Nel testo si possono usare:
- * al posto di un numero qualsiasi di caratteri: "scavo*roccia" trova le descrizioni in cui "scavo" è seguito, più avanti, da "roccia";
- ? al posto di un solo carattere qualsiasi: "C2?/30";
- # al posto di una sola cifra: "DN ##0";
- [..] al posto di uno dei caratteri fra parentesi: "[cg]ement" trova "cement" e "gement"; si possono indicare intervalli, come [a-f], ed esclusioni, come [!0-9] (un carattere che non sia una cifra).
Per cercare proprio uno dei caratteri *, ? o #, racchiuderlo fra parentesi quadre: [*]. Una parentesi quadra aperta senza la sua chiusa vale come carattere normale.

Ogni livello spuntato si cerca per conto proprio e riempie il proprio elenco: un capitolo compare se la sua descrizione contiene il testo, indipendentemente dai suoi articoli, e lo stesso vale per articoli e subarticoli. Capitoli e articoli compaiono una volta sola anche se hanno molti subarticoli; i risultati seguono l'ordine del prezzario.

Ciò che accade facendo clic sui risultati dipende dalle caselle spuntate: gli argomenti seguenti descrivono ciascuna combinazione.)";

constexpr std::string_view kCapArtSub = R"(RICERCA PER TESTO IN CAPITOLO, ARTICOLO E SUBARTICOLO

Con tutte e tre le caselle spuntate si ottengono tre elenchi indipendenti: i capitoli, gli articoli e i subarticoli la cui descrizione contiene il testo cercato. L'elenco dei subarticoli prende il titolo "Risultato subarticoli" perché contiene risultati propri.

Un clic su un articolo ne mostra il codice e la descrizione completa nelle caselle di dettaglio, senza cambiare gli altri elenchi. Un clic su un capitolo o su un subarticolo non modifica nulla.

La stampa riporta tre blocchi distinti, "CAPITOLI:", "ARTICOLI:" e "SUBARTICOLI:", con gli elementi trovati di ciascun livello.)";

constexpr std::string_view kCapArt = R"(RICERCA PER TESTO IN CAPITOLO E ARTICOLO

Con le caselle "capitoli" e "articoli" spuntate si ottengono i capitoli e gli articoli la cui descrizione contiene il testo cercato.

Un clic su un articolo ne mostra il codice e la descrizione completa e ne elenca tutti i subarticoli, con prezzi e dati della mano d'opera.

La stampa riporta il blocco "CAPITOLI:" con i capitoli trovati e il blocco "ARTICOLI (con SUBARTICOLI associati):" in cui ogni articolo trovato è seguito da tutti i suoi subarticoli.)";

constexpr std::string_view kArtSub = R"(RICERCA PER TESTO IN ARTICOLO E SUBARTICOLO

Con le caselle "articoli" e "subarticoli" spuntate si ottengono due elenchi indipendenti: gli articoli e i subarticoli la cui descrizione contiene il testo cercato. L'elenco dei subarticoli prende il titolo "Risultato subarticoli".

Un clic su un articolo ne mostra soltanto il codice e la descrizione completa: l'elenco dei subarticoli conserva i risultati della ricerca.

La stampa riporta i blocchi "ARTICOLI:" e "SUBARTICOLI:".)";

constexpr std::string_view kCapSub = R"(RICERCA PER TESTO IN CAPITOLO E SUBARTICOLO

Con le caselle "capitoli" e "subarticoli" spuntate si ottengono due elenchi indipendenti: i capitoli e i subarticoli la cui descrizione contiene il testo cercato; l'elenco degli articoli resta vuoto.

Facendo clic sui risultati non si apre alcun livello collegato.

La stampa riporta i blocchi "CAPITOLI:" e "SUBARTICOLI:".)";

constexpr std::string_view kSub = R"(RICERCA PER TESTO NEL SUBARTICOLO

Con la sola casella "subarticoli" spuntata si ottengono i subarticoli la cui descrizione contiene il testo cercato, con unità di misura, prezzo e dati della mano d'opera.

Un clic su un subarticolo mostra nell'elenco degli articoli l'articolo a cui appartiene, con il codice e la descrizione completa nelle caselle di dettaglio; un clic su quell'articolo ne ripete il dettaglio senza cambiare i subarticoli trovati.

La stampa riporta ogni subarticolo trovato sotto le intestazioni della sua sezione, del suo capitolo e del suo articolo.)";

constexpr std::string_view kArt = R"(RICERCA PER TESTO NELL'ARTICOLO

Con la sola casella "articoli" spuntata si ottengono gli articoli la cui descrizione contiene il testo cercato.

Un clic su un articolo ne mostra il codice e la descrizione completa ed elenca tutti i suoi subarticoli.

La stampa riporta ogni articolo trovato con tutti i suoi subarticoli, sotto le intestazioni di sezione e di capitolo.)";

constexpr std::string_view kCap = R"(RICERCA PER TESTO NEL CAPITOLO

Con la sola casella "capitoli" spuntata si ottengono i capitoli la cui descrizione contiene il testo cercato, e il riquadro degli articoli prende il titolo "Articoli Associati".

Un clic su un capitolo elenca tutti i suoi articoli; un clic su un articolo ne mostra il codice, la descrizione completa e tutti i subarticoli.

La stampa riporta ogni capitolo trovato con tutti i suoi articoli e subarticoli, sotto l'intestazione della sezione.)";

constexpr std::string_view kCodiceArticolo = R"(RICERCA PER CODICE ARTICOLO

1. Nella casella "Sezione" scegliere la sezione (non "Tutto il prezzario"): il suo codice compare davanti alle caselle del codice, per esempio "01.".
2. Selezionare l'opzione "codice articolo:".
3. Scrivere il codice del capitolo e quello dell'articolo, tre caratteri ciascuno: una lettera e due cifre, per esempio A01 e A05. Maiuscole e minuscole sono indifferenti.
4. Premere "Esegui Ricerca".

Se l'articolo esiste si vedono il suo capitolo, l'articolo stesso con il codice e la descrizione completa nelle caselle di dettaglio, e tutti i suoi subarticoli in ordine di prezzario. Un codice di lunghezza diversa da tre caratteri, o contenente un apostrofo, viene rifiutato con un messaggio.

La stampa riporta la sezione, il capitolo, l'articolo e i suoi subarticoli.)";

constexpr std::string_view kCodiceSubarticolo = R"(RICERCA PER CODICE SUBARTICOLO

1. Nella casella "Sezione" scegliere la sezione (non "Tutto il prezzario").
2. Selezionare l'opzione "codice subarticolo:".
3. Scrivere il codice del capitolo (per esempio A01), dell'articolo (per esempio A05) e del subarticolo (tre cifre, per esempio 010).
4. Premere "Esegui Ricerca".

Se il subarticolo esiste si vedono il suo capitolo, il suo articolo e il subarticolo stesso con unità di misura, prezzo e dati della mano d'opera. Un clic sul subarticolo mostra codice e descrizione completa dell'articolo nelle caselle di dettaglio.

La stampa riporta la sezione, il capitolo, l'articolo e il subarticolo.)";

constexpr std::string_view kIntervalli = R"(RICERCA PER INTERVALLI (DA-A)

La ricerca "Da-A" elenca tutto ciò che nel prezzario sta fra un codice iniziale e un codice finale dello stesso livello, all'interno di una sezione.

1. Nella casella "Sezione" scegliere la sezione (non "Tutto il prezzario").
2. Selezionare l'opzione "codice iniziale / codice finale".
3. Nella riga "codice iniziale" scrivere il capitolo (obbligatorio), poi, se serve, l'articolo e il subarticolo; fare lo stesso nella riga "codice finale".
4. Premere "Esegui Ricerca".

I due codici devono essere dello stesso tipo: capitolo con capitolo, articolo con articolo, subarticolo con subarticolo. Il subarticolo non si può indicare senza l'articolo. Entrambi i codici devono esistere nella sezione e il codice finale non può precedere quello iniziale nell'ordine del prezzario; in caso contrario un messaggio indica quale codice correggere. Attenzione: l'ordine del prezzario dei capitoli può differire dall'ordine alfabetico dei codici.

Indicando lo stesso capitolo come inizio e fine si ottengono quel capitolo, tutti i suoi articoli e tutti i suoi subarticoli. Un intervallo di articoli va dal primo subarticolo dell'articolo iniziale all'ultimo subarticolo dell'articolo finale.

I risultati riempiono tutti e tre gli elenchi: i capitoli toccati, gli articoli toccati e tutti i subarticoli compresi. Un clic su un articolo ne mostra codice e descrizione completa.

La stampa riporta la sezione e, capitolo per capitolo, gli articoli e i subarticoli trovati.)";

constexpr std::string_view kManualeUtente = R"(MANUALE UTENTE

Questa finestra raccoglie la guida in linea del programma. Il menu "Funzionalità" elenca gli argomenti: sceglierne uno per leggerne il testo nel riquadro; ogni scelta sostituisce il testo precedente. I sottoargomenti, preceduti da puntini, approfondiscono l'argomento che li precede.

Aperto dal menu principale, il manuale propone tutti gli argomenti. Aperto dal menu "Informazioni" della finestra di consultazione propone solo l'argomento Consultazione; aperto dalla finestra di ricerca propone solo gli argomenti della ricerca.

Mentre il manuale è aperto le altre finestre del programma non rispondono: chiuderlo per riprendere il lavoro dal punto in cui lo si era lasciato.

Il programma legge soltanto i dati del prezzario e non li modifica mai: nessuna ricerca, consultazione o stampa può alterarli. Per conservare il risultato di una ricerca usare la stampa e salvare la cartella di LibreOffice Calc.

La versione stampabile del manuale, in formato pdf, si trova nella cartella del programma creata dall'installazione.)";

constexpr ManualTopic kTopics[] = {
    {"Prefazione e Premesse", kPrefazioneEPremesse},
    {"Consultazione", kConsultazione},
    {"Ricerca", kRicerca},
    {"...Ricerca per Testo", kRicercaTesto},
    {"......Capitolo, Articolo e Subarticolo", kCapArtSub},
    {"......Capitolo e Articolo", kCapArt},
    {"......Articolo e Subarticolo", kArtSub},
    {"......Capitolo e Subarticolo", kCapSub},
    {"......Subarticolo", kSub},
    {"......Articolo", kArt},
    {"......Capitolo", kCap},
    {"...Ricerca per Codice Articolo", kCodiceArticolo},
    {"...Ricerca per Codice Subarticolo", kCodiceSubarticolo},
    {"...Ricerca per intervalli", kIntervalli},
    {"Manuale utente", kManualeUtente},
};

} // namespace

std::span<const ManualTopic> manualTopics()
{
    return kTopics;
}

} // namespace builder::demo
