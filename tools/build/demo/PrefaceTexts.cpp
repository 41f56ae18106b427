#include "tools/build/demo/ReferenceTexts.h"

namespace builder::demo {

namespace {

constexpr std::string_view kPrefazione =
    R"(Il Prezzario Regionale dei Lavori Pubblici della Regione Vallorsa, edizione 2021, è lo strumento di riferimento per la progettazione, l'affidamento, la contabilità e il collaudo delle opere pubbliche realizzate sul territorio regionale dalle amministrazioni, dagli enti e dalle società che vi operano.

La presente edizione nasce dal lavoro congiunto della Direzione Opere Pubbliche, dell'Osservatorio regionale dei contratti pubblici, degli ordini e dei collegi professionali, delle associazioni di categoria delle imprese e delle organizzazioni sindacali. A tutti va il ringraziamento della Regione per la competenza e la disponibilità dimostrate in un anno che ha messo a dura prova il settore delle costruzioni.

Rispetto all'edizione precedente i prezzi sono stati aggiornati sulla base delle rilevazioni di mercato del secondo semestre 2020 e dei contratti collettivi di lavoro in vigore; sono state riviste le sezioni dedicate agli impianti, alla sicurezza nei cantieri e alle opere a verde, ed è stata introdotta una più ampia casistica di lavorazioni per il recupero e la riqualificazione energetica del patrimonio edilizio esistente.

Il prezzario è articolato in sezioni, capitoli, articoli e subarticoli. Ogni voce riporta la descrizione della lavorazione, l'unità di misura, il prezzo comprensivo di spese generali e utile d'impresa, l'incidenza percentuale della mano d'opera e il relativo importo. Le note di sezione, di capitolo e di articolo precisano le modalità di misurazione e i casi particolari: è opportuno leggerle sempre prima di applicare un prezzo.

Si ricorda che il prezzario costituisce un riferimento e non sostituisce la valutazione del progettista, che resta responsabile dell'analisi dei prezzi per le lavorazioni non previste o eseguite in condizioni diverse da quelle ordinarie. Per tali casi si rinvia alla nota metodologica che segue.

L'Assessore regionale alle Infrastrutture e ai Lavori Pubblici)";

constexpr std::string_view kPremessaGenerale = R"(NOTA METODOLOGICA - PREMESSA GENERALE

I prezzi del presente prezzario sono riferiti a lavori eseguiti in condizioni ordinarie, con normali difficoltà di accesso e di esecuzione, in cantieri di dimensione media per il territorio regionale. Essi comprendono il costo dei materiali, della mano d'opera, dei noli e dei trasporti, le spese generali nella misura del 15% e l'utile d'impresa nella misura del 10%.

I prezzi sono stati determinati mediante analisi che scompongono ogni lavorazione nei suoi fattori elementari: quantità e costo dei materiali a piè d'opera, ore di mano d'opera per qualifica, ore di impiego delle macchine. I costi elementari sono stati rilevati presso produttori, rivenditori e imprese del territorio e confrontati con i valori dei prezzari delle regioni confinanti.

L'incidenza della mano d'opera, espressa in percentuale, indica la quota del prezzo che remunera il lavoro delle maestranze; l'importo della mano d'opera lorda è il prodotto del prezzo per tale percentuale. Questi valori servono alla verifica della congruità dell'offerta e al calcolo degli importi non soggetti a ribasso, quando il bando lo preveda.)";

constexpr std::string_view kPremessaDettaglio1 = R"(NOTA METODOLOGICA - DETTAGLIO, PARTE PRIMA

Misurazione dei lavori. Salvo diversa indicazione nelle note, le quantità si determinano con misure geometriche eseguite in opera, senza tenere conto di sfridi, sovrapposizioni e cali. Le superfici si misurano al netto dei vuoti superiori a 1,00 m²; i volumi di scavo si calcolano con il metodo delle sezioni ragguagliate.

Oneri compresi. Sono sempre compresi, anche quando la descrizione non li richiama: l'approntamento e lo smontaggio delle attrezzature di cantiere, i ponteggi di servizio fino a 3,50 m di altezza, il carico, il trasporto e lo scarico dei materiali nell'ambito del cantiere, la pulizia giornaliera delle aree di lavoro e la protezione delle opere già eseguite.

Oneri esclusi. Non sono compresi, e vanno valutati a parte, gli apprestamenti di sicurezza specifici previsti dal piano di sicurezza e coordinamento, i ponteggi oltre 3,50 m di altezza, il conferimento dei rifiuti agli impianti autorizzati e le indagini e prove di laboratorio richieste dalla direzione dei lavori oltre quelle di accettazione.)";

constexpr std::string_view kPremessaDettaglio2 = R"(NOTA METODOLOGICA - DETTAGLIO, PARTE SECONDA

Lavori in condizioni particolari. Per lavori eseguiti in centri storici con accesso limitato, in zone montane oltre 1.000 m di quota, in ambienti confinati o in presenza di esercizio, il progettista può applicare le maggiorazioni indicate nelle note di capitolo, motivandole nella relazione di progetto. Le maggiorazioni non sono cumulabili oltre il 30%.

Nuovi prezzi. Per le lavorazioni non previste si procede con l'analisi dei prezzi, utilizzando i costi elementari della mano d'opera, dei noli e dei materiali riportati nelle sezioni corrispondenti del prezzario, ai quali si aggiungono spese generali e utile d'impresa nelle percentuali indicate nella premessa generale.

Aggiornamento. Il prezzario è aggiornato con cadenza annuale. Le segnalazioni di errori o di voci mancanti possono essere inviate alla Direzione Opere Pubbliche della Regione Vallorsa, che ne terrà conto nella prossima edizione.)";

constexpr std::string_view kIntro01 =
    R"(La sezione raccoglie le lavorazioni dell'edilizia civile: scavi e movimenti di terra, conglomerati cementizi, murature, intonaci, pavimenti e rivestimenti. Le voci sono riferite a interventi di nuova costruzione e di manutenzione su edifici esistenti.

I prezzi comprendono i ponteggi di servizio fino a 3,50 m di altezza; per altezze superiori si applicano le voci della sezione Sicurezza nei cantieri. Le demolizioni e il trasporto a rifiuto sono compensati a parte.)";

constexpr std::string_view kIntro02 =
    R"(La sezione è dedicata agli interventi su edifici di interesse storico e artistico. Le lavorazioni privilegiano materiali e tecniche compatibili con quelli originari: malte di calce, legno, pietra e laterizio di recupero.

Ogni intervento va preceduto da un rilievo dello stato di conservazione e da prove sui materiali; la scelta tra le voci della sezione spetta al progettista in accordo con l'ente di tutela.)";

constexpr std::string_view kIntro03 =
    R"(La sezione comprende le lavorazioni per la costruzione e la manutenzione delle strade: fondazioni, pavimentazioni bituminose, cordoli, canalette e barriere di sicurezza.

Gli spessori indicati sono quelli finiti dopo la compattazione. I prezzi tengono conto delle normali interferenze con il traffico; la segnaletica di cantiere per chiusure totali o parziali è compensata con le voci della sezione Sicurezza nei cantieri.)";

constexpr std::string_view kIntro04 =
    R"(La sezione riguarda le reti di fognatura nera e bianca, i pozzetti, le camerette d'ispezione e i drenaggi.

Le tubazioni si misurano lungo l'asse, senza detrarre i pozzetti. Lo scavo, il letto di posa e il rinfianco sono compensati con le voci della sezione Opere edili, salvo dove la descrizione li comprende espressamente.)";

constexpr std::string_view kIntro05 =
    R"(La sezione comprende le tubazioni in pressione per acqua potabile, le valvole, gli idranti e gli allacciamenti di utenza.

Il prezzo delle condotte comprende i pezzi speciali fino al 10% della lunghezza e il collaudo idraulico per tratti; la disinfezione della rete prima della messa in servizio è compensata a parte.)";

constexpr std::string_view kIntro06 =
    R"(La sezione riguarda gli impianti idrico-sanitari degli edifici: apparecchi sanitari, reti di distribuzione e di scarico, produzione di acqua calda sanitaria.

Gli apparecchi si intendono completi di rubinetteria, raccordi e assistenze murarie; le tubazioni comprendono i raccordi e i supporti.)";

constexpr std::string_view kIntro07 =
    R"(La sezione comprende i generatori di calore, le pompe di calore, i corpi scaldanti e le canne fumarie degli impianti di riscaldamento e climatizzazione.

I prezzi comprendono il primo avviamento e la taratura; le pratiche per il rilascio delle certificazioni energetiche non sono comprese.)";

constexpr std::string_view kIntro08 =
    R"(La sezione riguarda i presidi antincendio: reti di idranti e naspi, estintori, segnaletica di sicurezza e porte tagliafuoco.

Tutti i componenti devono essere omologati o certificati secondo la normativa vigente; la certificazione va consegnata alla direzione dei lavori con la dichiarazione di corretta posa.)";

constexpr std::string_view kIntro09 =
    R"(La sezione comprende la carpenteria metallica strutturale, le armature per cemento armato, le opere in ferro lavorato e i cicli di protezione dei manufatti in acciaio.

I manufatti si valutano a peso; il prezzo comprende i tagli, le saldature, la bulloneria e il montaggio in opera.)";

constexpr std::string_view kIntro10 =
    R"(La sezione riguarda i serramenti esterni in legno, alluminio e PVC, le porte interne e i sistemi di oscuramento e di protezione solare.

I serramenti si misurano sul filo esterno del telaio; le prestazioni termiche richieste dalla normativa sul contenimento dei consumi energetici sono comprese nei prezzi.)";

constexpr std::string_view kIntro11 =
    R"(La sezione comprende i manti di copertura, le impermeabilizzazioni, le lattonerie e gli isolamenti termici e acustici.

Le coperture si misurano in falda; le impermeabilizzazioni comprendono i risvolti fino a 20 cm di altezza.)";

constexpr std::string_view kIntro12 =
    R"(La sezione raccoglie le opere marittime: scogliere, mantellate, dragaggi e arredi di banchina.

I prezzi comprendono l'impiego dei mezzi marittimi e le soste dovute a condizioni meteomarine ordinarie; i rilievi batimetrici di prima e seconda pianta sono compensati a parte.)";

constexpr std::string_view kIntro13 =
    R"(La sezione comprende le opere di difesa spondale, le briglie e le soglie, e la manutenzione degli alvei dei corsi d'acqua.

Gli interventi in alveo vanno programmati nei periodi di magra e nel rispetto dei periodi di riproduzione della fauna ittica.)";

constexpr std::string_view kIntro14 =
    R"(La sezione riguarda pali, micropali, tiranti, chiodature, muri di sostegno, terre rinforzate e opere di protezione dalla caduta di massi.

Le perforazioni comprendono l'attraversamento di terreni di qualsiasi natura, esclusa la roccia compatta per la quale si applicano le maggiorazioni indicate nelle note.)";

constexpr std::string_view kIntro15 =
    R"(La sezione raccoglie gli apprestamenti per la sicurezza nei cantieri: ponteggi, recinzioni, baraccamenti e dispositivi di protezione collettiva.

I costi della sicurezza stimati con queste voci non sono soggetti a ribasso d'asta e vanno indicati separatamente nei documenti di gara.)";

constexpr std::string_view kIntro17 =
    R"(La sezione riporta il costo orario della mano d'opera per qualifica, da impiegare nelle analisi dei nuovi prezzi e nei lavori in economia.

I costi comprendono gli oneri previdenziali, assicurativi e contrattuali, le spese generali e l'utile d'impresa.)";

constexpr std::string_view kIntro18 =
    R"(La sezione riporta il costo dei materiali forniti a piè d'opera in cantiere, da impiegare nelle analisi dei nuovi prezzi.

I prezzi comprendono il trasporto fino al cantiere per quantità ordinarie; lo scarico è compensato a parte.)";

constexpr std::string_view kIntro20 =
    R"(La sezione comprende la fornitura e la messa a dimora di alberi, arbusti e tappezzanti, la formazione di prati e la manutenzione del verde pubblico.

Le piante sono garantite per un anno dalla messa a dimora: le fallanze vanno sostituite a cura e spese dell'impresa.)";

constexpr std::string_view kIntro21 =
    R"(Le lavorazioni di ingegneria naturalistica e di recupero ambientale (palificate vive, grate, fascinate, gradonate, inerbimenti tecnici) sono pubblicate in un fascicolo separato del prezzario, disponibile presso la Direzione Opere Pubbliche.

Per gli interventi che combinano opere di ingegneria naturalistica e opere idrauliche tradizionali si applicano, per queste ultime, le voci della sezione Opere idrauliche e sistemazioni fluviali.)";

constexpr std::string_view kIntro22 =
    R"(La sezione riguarda la segnaletica stradale orizzontale, verticale e gli impianti semaforici.

I materiali devono essere conformi al Codice della Strada e al relativo regolamento di attuazione; le pellicole rifrangenti sono accompagnate dal certificato di conformità.)";

constexpr std::string_view kIntro23 =
    R"(La sezione comprende cavi e condutture, quadri elettrici, apparecchi di protezione, punti di comando, illuminazione pubblica e impianti di terra.

Ogni impianto è consegnato con la dichiarazione di conformità e con gli schemi aggiornati; le verifiche strumentali sono comprese nei prezzi.)";

constexpr std::string_view kIntro24 =
    R"(Le lavorazioni agricole e forestali (lavorazioni del terreno, impianti arborei da frutto, viabilità forestale, opere di miglioramento fondiario) sono pubblicate in un fascicolo separato, curato dalla Direzione Agricoltura della Regione Vallorsa.

I costi della mano d'opera agricola e forestale sono riportati nella sezione Mano d'opera del presente prezzario.)";

// Section 16 has a row without text and section 19 has none: the viewer must cope with both.
constexpr PremessaText kPremesse[] = {
    {"01", kIntro01, std::nullopt, std::nullopt},
    {"02", kIntro02, std::nullopt, std::nullopt},
    {"03", kIntro03, std::nullopt, std::nullopt},
    {"04", kIntro04, std::nullopt, std::nullopt},
    {"05", kIntro05, std::nullopt, std::nullopt},
    {"06", kIntro06, std::nullopt, std::nullopt},
    {"07", kIntro07, std::nullopt, std::nullopt},
    {"08", kIntro08, std::nullopt, std::nullopt},
    {"09", kIntro09, std::nullopt, std::nullopt},
    {"10", kIntro10, std::nullopt, std::nullopt},
    {"11", kIntro11, std::nullopt, std::nullopt},
    {"12", kIntro12, std::nullopt, std::nullopt},
    {"13", kIntro13, std::nullopt, std::nullopt},
    {"14", kIntro14, std::nullopt, std::nullopt},
    {"15", kIntro15, std::nullopt, std::nullopt},
    {"16", std::nullopt, std::nullopt, std::nullopt},
    {"17", kIntro17, std::nullopt, std::nullopt},
    {"18", kIntro18, std::nullopt, std::nullopt},
    {"20", kIntro20, std::nullopt, std::nullopt},
    {"21", kIntro21, std::nullopt, std::nullopt},
    {"22", kIntro22, std::nullopt, std::nullopt},
    {"23", kIntro23, std::nullopt, std::nullopt},
    {"24", kIntro24, std::nullopt, std::nullopt},
    {"Prefazione", kPrefazione, std::nullopt, std::nullopt},
    {"Premessa", kPremessaGenerale, kPremessaDettaglio1, kPremessaDettaglio2},
};

} // namespace

std::span<const PremessaText> premesseTexts()
{
    return kPremesse;
}

} // namespace builder::demo
