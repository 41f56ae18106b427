#include "tools/build/demo/DemoCatalogue.h"

namespace builder::demo {

namespace {

using K = ItemKind;
using V = Variant;

constexpr Topic kOpereEdili[] = {
    {"SCAVI E MOVIMENTI DI TERRA",
     "scavi di sbancamento, a sezione obbligata e a sezione ristretta, eseguiti a mano o con mezzi meccanici, "
     "rinterri e trasporti a rifiuto",
     "m³",
     K::Work,
     V::Depth,
     6,
     45,
     {"Scavo di sbancamento eseguito con mezzi meccanici in terreni di qualsiasi natura e consistenza, asciutti o "
      "bagnati",
      "Scavo a sezione obbligata per fondazioni, eseguito con mezzi meccanici e rifinito a mano",
      "Scavo a sezione ristretta per la posa di condotte, eseguito a mano in presenza di sottoservizi",
      "Rinterro di scavi con materiale proveniente dagli scavi stessi, steso e compattato a strati di 30 cm"}},
    {"CONGLOMERATI CEMENTIZI",
     "calcestruzzi preconfezionati a prestazione garantita per opere di fondazione e in elevazione, casseforme e "
     "getti in opera",
     "m³",
     K::Work,
     V::ConcreteClass,
     95,
     180,
     {"Calcestruzzo preconfezionato a prestazione garantita per strutture di fondazione, gettato in opera e vibrato",
      "Calcestruzzo per strutture in elevazione (pilastri, travi, setti), pompato e vibrato con vibratori ad ago",
      "Calcestruzzo per solette e solai, gettato entro casseforme già predisposte e stagionato con prodotti "
      "antievaporanti",
      "Magrone di sottofondazione in calcestruzzo, gettato su piano di posa già regolarizzato"}},
    {"MURATURE E TRAMEZZATURE",
     "murature portanti e di tamponamento in laterizio, blocchi di calcestruzzo e pietra, tramezzi e contropareti "
     "a secco",
     "m²",
     K::Work,
     V::Thickness,
     28,
     95,
     {"Muratura portante in blocchi di laterizio alveolato, posti in opera con malta cementizia",
      "Muratura di tamponamento in blocchi di calcestruzzo cellulare autoclavato, posati con collante",
      "Tramezzatura in mattoni forati di laterizio, posti in opera con malta bastarda",
      "Controparete in lastre di cartongesso su orditura metallica in acciaio zincato"}},
    {"INTONACI E RASATURE",
     "intonaci civili e premiscelati per interni ed esterni, rasature, intonaci deumidificanti e termoisolanti",
     "m²",
     K::Work,
     V::Thickness,
     14,
     48,
     {"Intonaco civile per interni costituito da rinzaffo, arriccio e velo di finitura a frattazzo fino",
      "Intonaco premiscelato a base di calce e cemento, applicato a macchina su superfici verticali e orizzontali",
      "Rasatura di superfici intonacate con rasante minerale, in due mani, compresa la rete in fibra di vetro",
      "Intonaco termoisolante a base di perlite espansa per l'esterno di edifici"}},
    {"PAVIMENTI E RIVESTIMENTI",
     "pavimenti e rivestimenti in ceramica, gres porcellanato, pietra naturale e legno, sottofondi e massetti",
     "m²",
     K::Work,
     V::Dimensions,
     30,
     110,
     {"Pavimento in piastrelle di gres porcellanato di prima scelta, posate a colla su massetto già predisposto",
      "Rivestimento di pareti in piastrelle di ceramica smaltata, posate a colla con fughe sigillate",
      "Pavimento in lastre di pietra naturale levigata, posate su letto di malta cementizia",
      "Pavimento in listoni di rovere prefinito, posati flottanti su materassino fonoassorbente"}},
};

constexpr Topic kRestauro[] = {
    {"CONSOLIDAMENTO DI MURATURE STORICHE",
     "interventi di consolidamento di murature in pietra e in laterizio di edifici storici con tecniche "
     "compatibili con i materiali originari",
     "m²",
     K::Work,
     V::Thickness,
     60,
     220,
     {"Consolidamento di muratura in pietrame mediante iniezioni di miscela a base di calce idraulica naturale",
      "Scuci e cuci di murature lesionate con mattoni pieni di recupero e malta di calce",
      "Ristilatura profonda dei giunti di murature faccia a vista con malta di calce e sabbia di fiume",
      "Placcaggio di murature con intonaco armato con rete in fibra di basalto"}},
    {"PULITURA E PROTEZIONE DELLE SUPERFICI",
     "pulitura di paramenti lapidei e in laterizio, rimozione di patine biologiche e croste nere, trattamenti "
     "protettivi e consolidanti",
     "m²",
     K::Work,
     V::Area,
     18,
     120,
     {"Pulitura di paramenti lapidei mediante impacchi di polpa di carta e carbonato d'ammonio",
      "Rimozione di patine biologiche con biocida a largo spettro applicato a pennello e successiva spazzolatura",
      "Trattamento protettivo idrorepellente a base di silossani, applicato a spruzzo a bassa pressione",
      "Microsabbiatura di superfici in pietra con inerti di granulometria finissima"}},
    {"RESTAURO DI ELEMENTI LIGNEI",
     "restauro di solai, capriate e serramenti lignei storici, consolidamento strutturale e protezione "
     "antiparassitaria",
     "cad",
     K::Work,
     V::Length,
     80,
     450,
     {"Consolidamento di testate di travi lignee mediante protesi in resina epossidica e barre in vetroresina",
      "Trattamento antitarlo di strutture in legno con prodotti a base di sali di boro, applicato a pennello e per "
      "iniezione",
      "Sostituzione parziale di travicelli ammalorati con elementi in legno di castagno stagionato",
      "Restauro conservativo di portoni in legno, compresa la revisione della ferramenta originale"}},
    {"INTONACI E FINITURE STORICHE",
     "intonaci a base di calce, stucchi, velature e tinteggiature a calce per edifici vincolati",
     "m²",
     K::Work,
     V::Area,
     25,
     140,
     {"Intonaco a base di calce aerea e sabbia di fiume, steso a mano in tre strati",
      "Tinteggiatura a calce pigmentata con terre naturali, data a pennello in più mani",
      "Reintegrazione di lacune di intonaco con malta di calce idraulica naturale, a imitazione dell'esistente",
      "Stuccatura di cornicioni e modanature con malta di calce e polvere di marmo"}},
};

constexpr Topic kOpereStradali[] = {
    {"FONDAZIONI STRADALI",
     "strati di fondazione e di base in misto granulare, misto cementato e materiali riciclati per sovrastrutture "
     "stradali",
     "m²",
     K::Work,
     V::Thickness,
     6,
     25,
     {"Strato di fondazione in misto granulare stabilizzato con legante naturale, steso e compattato con rullo "
      "vibrante",
      "Strato di base in misto cementato confezionato in centrale, steso con vibrofinitrice",
      "Fondazione stradale in materiale riciclato da demolizioni, certificato e compattato fino al 95% della "
      "densità massima",
      "Bonifica del piano di posa mediante stesa di geotessile non tessuto e di materiale arido"}},
    {"PAVIMENTAZIONI BITUMINOSE",
     "conglomerati bituminosi per strati di collegamento e di usura, fresature e mani d'attacco su "
     "pavimentazioni esistenti",
     "m²",
     K::Work,
     V::Thickness,
     6,
     22,
     {"Conglomerato bituminoso per strato di collegamento (binder), confezionato a caldo e steso con "
      "vibrofinitrice",
      "Conglomerato bituminoso per strato di usura con bitume modificato, steso e rullato",
      "Fresatura di pavimentazione bituminosa eseguita con fresa a freddo, compreso il carico del materiale "
      "fresato",
      "Mano d'attacco con emulsione bituminosa cationica al 55%, data a spruzzo sulla superficie pulita"}},
    {"CORDOLI, ZANELLE E CANALETTE",
     "cordonate in calcestruzzo e in pietra, zanelle, canalette di scolo e manufatti per la raccolta delle acque "
     "stradali",
     "m",
     K::Work,
     V::Width,
     20,
     85,
     {"Cordonata in calcestruzzo vibrocompresso, posta in opera su fondazione in calcestruzzo",
      "Cordolo in pietra di Luserna a spigolo vivo, posto in opera con malta cementizia",
      "Zanella stradale in elementi prefabbricati di calcestruzzo, posti su letto di malta",
      "Canaletta di scolo in calcestruzzo con griglia in ghisa sferoidale classe C250"}},
    {"BARRIERE DI SICUREZZA",
     "barriere stradali di sicurezza in acciaio, parapetti e attenuatori d'urto conformi alla normativa vigente",
     "m",
     K::Work,
     V::ContainmentClass,
     45,
     210,
     {"Barriera stradale di sicurezza in acciaio zincato a caldo, a doppia onda, infissa nel terreno",
      "Barriera di sicurezza bordo ponte con montanti tassellati su cordolo in calcestruzzo",
      "Parapetto metallico per opere d'arte stradali, con corrimano e pannelli in lamiera stirata",
      "Rimozione di barriera stradale esistente, compreso l'accatastamento del materiale riutilizzabile"}},
};

constexpr Topic kFognature[] = {
    {"TUBAZIONI PER FOGNATURA",
     "tubazioni in PVC, polietilene, gres e calcestruzzo per reti di fognatura nera e bianca, posate in scavo già "
     "predisposto",
     "m",
     K::Work,
     V::Diameter,
     12,
     160,
     {"Tubazione in PVC-U a parete compatta SN8 per fognature, con giunto a bicchiere e guarnizione elastomerica",
      "Tubazione in polietilene corrugato a doppia parete SN8, con manicotto di giunzione",
      "Tubazione in gres ceramico vetrificato con giunzioni a norma, posata su letto di sabbia",
      "Tubazione in calcestruzzo armato vibrocompresso con incastro a bicchiere"}},
    {"POZZETTI E CAMERETTE",
     "pozzetti prefabbricati, camerette d'ispezione, chiusini e caditoie in ghisa sferoidale per reti di "
     "fognatura",
     "cad",
     K::Work,
     V::Dimensions,
     80,
     900,
     {"Pozzetto prefabbricato in calcestruzzo vibrato, completo di fondo e di prolunghe",
      "Cameretta d'ispezione prefabbricata per fognatura, con elemento di fondo sagomato",
      "Chiusino in ghisa sferoidale classe D400 con telaio quadrato, posato su malta antiritiro",
      "Caditoia stradale in ghisa sferoidale con griglia a feritoie, compreso il sifone"}},
    {"DRENAGGI E VESPAI",
     "drenaggi con tubi fessurati, materiali aridi e geotessili, trincee drenanti e vespai aerati sotto i "
     "pavimenti",
     "m",
     K::Work,
     V::Diameter,
     15,
     70,
     {"Tubo drenante in PVC fessurato rivestito con calza in fibra di cocco",
      "Trincea drenante riempita con ghiaia lavata di pezzatura 30-70 mm, avvolta in geotessile",
      "Vespaio aerato con elementi modulari in polipropilene riciclato e getto di completamento",
      "Drenaggio a tergo di muri di sostegno con pietrame calcareo posato a mano"}},
};

constexpr Topic kAcquedotti[] = {
    {"TUBAZIONI IN PRESSIONE",
     "tubazioni in ghisa sferoidale, polietilene ad alta densità e acciaio per reti di distribuzione dell'acqua "
     "potabile",
     "m",
     K::Work,
     V::Diameter,
     18,
     210,
     {"Tubazione in ghisa sferoidale con rivestimento interno in malta cementizia e giunto elastico automatico",
      "Tubazione in polietilene PE100 PN16 per acqua potabile, giuntata per saldatura di testa",
      "Tubazione in acciaio saldato con rivestimento esterno in polietilene triplo strato",
      "Collaudo idraulico di condotte in pressione, compresa la redazione del verbale di prova"}},
    {"VALVOLE E APPARECCHIATURE IDRAULICHE",
     "saracinesche, valvole di regolazione, sfiati, idranti e contatori per reti idriche in esercizio e di nuova "
     "costruzione",
     "cad",
     K::Work,
     V::Diameter,
     90,
     2400,
     {"Saracinesca in ghisa sferoidale a corpo ovale, flangiata, con cuneo gommato",
      "Valvola di sfiato automatica a tripla funzione per condotte d'acquedotto",
      "Idrante soprasuolo in ghisa con due attacchi UNI 70 e attacco per motopompa",
      "Gruppo di misura con contatore a getto multiplo, compresi i raccordi e le valvole di intercettazione"}},
    {"ALLACCIAMENTI DI UTENZA",
     "allacciamenti alla rete idrica, prese in carico su condotte in esercizio e pozzetti per i contatori "
     "d'utenza",
     "cad",
     K::Work,
     V::Length,
     220,
     1400,
     {"Allacciamento di utenza alla rete idrica con collare di presa in ghisa e tubo in polietilene",
      "Presa in carico su condotta in esercizio, eseguita con apposita apparecchiatura senza interruzione del "
      "servizio",
      "Pozzetto per contatore d'utenza in resina con coperchio isolato"}},
};

constexpr Topic kIdricoSanitari[] = {
    {"APPARECCHI SANITARI",
     "apparecchi sanitari in porcellana vetrificata e acciaio, rubinetterie e accessori per bagni e servizi "
     "igienici",
     "cad",
     K::Work,
     V::Dimensions,
     120,
     850,
     {"Lavabo in porcellana vetrificata bianca, completo di miscelatore monocomando e sifone",
      "Vaso igienico sospeso in porcellana vetrificata con cassetta di risciacquo da incasso",
      "Piatto doccia in ceramica a filo pavimento, completo di piletta e miscelatore termostatico",
      "Lavello da cucina in acciaio inox con due vasche e gocciolatoio"}},
    {"TUBAZIONI E DISTRIBUZIONE",
     "reti di distribuzione dell'acqua calda e fredda in multistrato, polipropilene e acciaio zincato, scarichi "
     "in polietilene",
     "m",
     K::Work,
     V::Diameter,
     9,
     60,
     {"Tubazione multistrato in polietilene reticolato e alluminio, con raccordi a pressare",
      "Tubazione di scarico in polietilene ad alta densità, giuntata per saldatura o con manicotti elettrici",
      "Tubazione in acciaio zincato filettata per impianti idrici, compresi i raccordi in ghisa malleabile",
      "Isolamento di tubazioni con guaina in elastomero espanso a cellule chiuse"}},
    {"PRODUZIONE DI ACQUA CALDA SANITARIA",
     "scaldacqua, bollitori e sistemi per la produzione di acqua calda sanitaria, anche a pompa di calore",
     "cad",
     K::Work,
     V::Capacity,
     280,
     3800,
     {"Scaldacqua elettrico ad accumulo con termostato regolabile e valvola di sicurezza",
      "Bollitore verticale a doppio serpentino per impianti solari termici",
      "Scaldacqua a pompa di calore con ciclo termodinamico, per installazione all'interno"}},
};

constexpr Topic kRiscaldamento[] = {
    {"GENERATORI DI CALORE",
     "caldaie a condensazione, pompe di calore e generatori di calore per impianti di riscaldamento civile e "
     "industriale",
     "cad",
     K::Work,
     V::Power,
     1800,
     24000,
     {"Caldaia murale a condensazione a gas metano, con bruciatore modulante e scambiatore in acciaio inox",
      "Pompa di calore aria-acqua monoblocco con compressore a inverter, per riscaldamento e raffrescamento",
      "Generatore di calore a basamento in acciaio con bruciatore di gas a due stadi",
      "Caldaia a biomassa legnosa a pellet con accensione automatica e pulizia dello scambiatore"}},
    {"CORPI SCALDANTI E TERMINALI",
     "radiatori, ventilconvettori, pannelli radianti a pavimento e valvole termostatiche per la regolazione "
     "ambiente",
     "cad",
     K::Work,
     V::Length,
     150,
     900,
     {"Radiatore in alluminio pressofuso a elementi, completo di valvola termostatica e detentore",
      "Ventilconvettore a parete con motore a basso consumo e comando a bordo macchina",
      "Scaldasalviette in acciaio verniciato con collettori verticali",
      "Pannello radiante a pavimento con tubo in polietilene reticolato su pannello isolante sagomato"}},
    {"CANNE FUMARIE E ACCESSORI",
     "canne fumarie in acciaio inox, sistemi di evacuazione dei fumi e accessori per generatori a condensazione",
     "m",
     K::Work,
     V::Diameter,
     45,
     260,
     {"Canna fumaria a doppia parete in acciaio inox AISI 316 con isolamento in lana minerale",
      "Condotto di scarico fumi in polipropilene per caldaie a condensazione, con guarnizioni a labbro",
      "Intubamento di canna fumaria esistente con tubo flessibile in acciaio inox"}},
};

constexpr Topic kAntincendio[] = {
    {"RETI IDRANTI",
     "reti di idranti e naspi, gruppi di attacco per motopompa e tubazioni in acciaio per impianti antincendio",
     "cad",
     K::Work,
     V::Diameter,
     180,
     1600,
     {"Cassetta idrante UNI 45 da incasso, completa di manichetta da 20 m e lancia a getto regolabile",
      "Naspo antincendio orientabile con tubo semirigido da 25 mm",
      "Gruppo di attacco per autopompa dei Vigili del Fuoco con valvola di non ritorno e valvola di sicurezza"}},
    {"ESTINTORI E SEGNALETICA DI SICUREZZA",
     "estintori portatili e carrellati, cartelli di sicurezza e apparecchi per l'illuminazione di emergenza",
     "cad",
     K::Work,
     V::Capacity,
     30,
     380,
     {"Estintore portatile a polvere polivalente, omologato, completo di supporto a parete",
      "Estintore a schiuma AFFF per fuochi di classe A e B, con manichetta e ugello",
      "Apparecchio autonomo per l'illuminazione di emergenza con lampada LED e autonomia di un'ora",
      "Cartello di sicurezza in alluminio fotoluminescente, conforme alla norma UNI EN ISO 7010"}},
    {"PORTE E SERRAMENTI TAGLIAFUOCO",
     "porte tagliafuoco, maniglioni antipanico e chiudiporta per le compartimentazioni antincendio degli edifici",
     "cad",
     K::Work,
     V::Dimensions,
     380,
     2200,
     {"Porta tagliafuoco REI 120 a un battente, in lamiera d'acciaio zincata e preverniciata",
      "Porta tagliafuoco REI 60 a due battenti con maniglione antipanico",
      "Chiudiporta aereo a slitta con regolazione della velocità di chiusura"}},
};

constexpr Topic kOpereInFerro[] = {
    {"CARPENTERIA METALLICA",
     "strutture in acciaio per edifici e infrastrutture, profilati laminati, piastre, bullonerie e armature per "
     "cemento armato",
     "kg",
     K::Work,
     V::Weight,
     2.8,
     6.5,
     {"Carpenteria metallica in profilati laminati a caldo S275JR per strutture portanti, lavorata in officina e "
      "montata in opera",
      "Acciaio in barre ad aderenza migliorata B450C per cemento armato, tagliato, sagomato e posto in opera",
      "Rete elettrosaldata in acciaio B450C per solette e pavimenti industriali",
      "Zincatura a caldo per immersione di manufatti in acciaio, secondo la norma UNI EN ISO 1461"}},
    {"OPERE IN FERRO LAVORATO",
     "ringhiere, parapetti, cancelli, grigliati e scale in ferro per l'edilizia residenziale e pubblica",
     "kg",
     K::Work,
     V::Weight,
     5,
     14,
     {"Ringhiera in ferro a disegno semplice, con montanti e correnti in piatto e tondo",
      "Cancello carraio in profilati di ferro zincato e verniciato, completo di cardini e serratura",
      "Grigliato elettroforgiato in acciaio zincato con maglia 30x30 mm",
      "Scala in ferro a chiocciola con gradini in lamiera striata"}},
    {"VERNICIATURE DI MANUFATTI METALLICI",
     "sabbiature, cicli di verniciatura e protezioni anticorrosive di strutture e manufatti in acciaio",
     "m²",
     K::Work,
     V::Area,
     12,
     60,
     {"Sabbiatura di superfici metalliche al grado Sa 2½, compreso lo smaltimento dell'abrasivo",
      "Ciclo di verniciatura con fondo epossidico e finitura poliuretanica, spessore totale 160 micron",
      "Verniciatura intumescente di strutture in acciaio per la protezione al fuoco"}},
};

constexpr Topic kSerramenti[] = {
    {"SERRAMENTI IN LEGNO",
     "finestre, porte-finestre e portoncini in legno lamellare con vetrocamera e ferramenta di chiusura",
     "m²",
     K::Work,
     V::Dimensions,
     380,
     950,
     {"Finestra in legno lamellare di pino a uno o più battenti, con vetrocamera basso emissivo",
      "Porta-finestra in legno di rovere con vetro di sicurezza stratificato e ferramenta ad anta-ribalta",
      "Portoncino d'ingresso in legno massello con serratura di sicurezza a cilindro europeo"}},
    {"SERRAMENTI IN ALLUMINIO E PVC",
     "serramenti esterni in alluminio a taglio termico e in PVC multicamera, completi di vetri e accessori",
     "m²",
     K::Work,
     V::Dimensions,
     320,
     780,
     {"Finestra in alluminio a taglio termico con vetrocamera 4-16-4 e gas argon",
      "Serramento in PVC multicamera con rinforzi in acciaio e guarnizioni di tenuta in EPDM",
      "Facciata continua in alluminio a montanti e traversi con vetri strutturali"}},
    {"PORTE INTERNE",
     "porte interne in legno tamburato, laminato e vetro, porte scorrevoli a scomparsa e porte per locali "
     "tecnici",
     "cad",
     K::Work,
     V::Dimensions,
     260,
     1100,
     {"Porta interna in legno tamburato impiallacciato, completa di telaio, coprifili e maniglia",
      "Porta scorrevole a scomparsa con controtelaio metallico per parete in muratura",
      "Porta in vetro temperato satinato con cerniere a pavimento"}},
    {"OSCURANTI E PROTEZIONI SOLARI",
     "persiane, tapparelle avvolgibili, tende tecniche e frangisole fissi e orientabili",
     "m²",
     K::Work,
     V::Area,
     70,
     320,
     {"Persiana in alluminio verniciato a lamelle orientabili, completa di cardini e fermi",
      "Tapparella avvolgibile in PVC pesante con cassonetto coibentato e comando a cinghia",
      "Frangisole orientabile in alluminio estruso con motorizzazione e sensore di luminosità"}},
};

constexpr Topic kCoperture[] = {
    {"COPERTURE A FALDA",
     "manti di copertura in tegole e coppi, sottotegole, listellature e pannelli isolanti per tetti a falda",
     "m²",
     K::Work,
     V::Area,
     28,
     110,
     {"Manto di copertura in coppi di laterizio posati su listelli, compresi i pezzi speciali",
      "Manto di copertura in tegole portoghesi di laterizio, fissate con ganci antivento",
      "Copertura in lastre di lamiera grecata coibentata con poliuretano espanso",
      "Membrana traspirante sottotegola in polipropilene, posata con sormonti sigillati"}},
    {"IMPERMEABILIZZAZIONI",
     "membrane bituminose e sintetiche, guaine liquide e barriere al vapore per coperture piane, fondazioni e "
     "terrazzi",
     "m²",
     K::Work,
     V::Area,
     9,
     38,
     {"Impermeabilizzazione con doppia membrana bituminosa elastoplastomerica armata in poliestere",
      "Manto impermeabile in PVC plastificato fissato meccanicamente al supporto",
      "Guaina liquida poliuretanica applicata a rullo in due mani con armatura in tessuto non tessuto",
      "Barriera al vapore in polietilene da 0,4 mm con giunti sigillati"}},
    {"LATTONERIE",
     "canali di gronda, pluviali, scossaline e converse in lamiera di rame, acciaio preverniciato e alluminio",
     "m",
     K::Work,
     V::Width,
     18,
     95,
     {"Canale di gronda in lamiera di rame da 6/10, completo di cicogne e testate",
      "Pluviale in lamiera di acciaio preverniciato, compresi i collari di fissaggio",
      "Scossalina in alluminio preverniciato per la protezione di muretti d'attico",
      "Converse e compluvi in lamiera di rame, saldate a stagno"}},
    {"ISOLAMENTI TERMICI E ACUSTICI",
     "isolamenti termici e acustici di pareti, solai e coperture con pannelli minerali, sintetici e di origine "
     "naturale",
     "m²",
     K::Work,
     V::Thickness,
     12,
     65,
     {"Isolamento termico a cappotto con pannelli di polistirene espanso sinterizzato e rasatura armata",
      "Isolamento di sottotetti con pannelli in lana di roccia ad alta densità",
      "Isolamento acustico di solai con materassino in polietilene reticolato sotto il massetto",
      "Pannello isolante in fibra di legno per coperture ventilate"}},
};

constexpr Topic kOpereMarittime[] = {
    {"SCOGLIERE E MANTELLATE",
     "scogliere in massi naturali e artificiali, mantellate e difese radenti per la protezione delle coste",
     "t",
     K::Work,
     V::Weight,
     18,
     60,
     {"Scogliera in massi naturali di cava, calcarei o basaltici, posti in opera con mezzo marittimo",
      "Mantellata in massi artificiali di calcestruzzo tipo tetrapodi, collocati secondo i disegni di progetto",
      "Scanno di imbasamento in tout-venant di cava, versato e regolarizzato subacqueo"}},
    {"DRAGAGGI",
     "dragaggi di fondali portuali e di canali navigabili con mezzi effossori da pontone e refluimento a terra",
     "m³",
     K::Work,
     V::Depth,
     9,
     38,
     {"Dragaggio di fondali sabbiosi con draga aspirante refluente, compreso il refluimento in vasca di colmata",
      "Escavo subacqueo con benna mordente da pontone in fondali misti di sabbia e ghiaia",
      "Salpamento di massi e di relitti dai fondali portuali con motopontone attrezzato"}},
    {"ARREDI DI BANCHINA",
     "bitte, anelli d'ormeggio, parabordi e scalette alla marinara per le banchine e i pontili",
     "cad",
     K::Work,
     V::Weight,
     150,
     3200,
     {"Bitta d'ormeggio in acciaio fuso, ancorata al cordolo di banchina con tirafondi",
      "Parabordo cilindrico in gomma con catene e staffe di sospensione in acciaio inox",
      "Scaletta alla marinara in acciaio inox AISI 316, fissata con tasselli chimici"}},
};

constexpr Topic kOpereIdrauliche[] = {
    {"DIFESE SPONDALI",
     "difese spondali in massi, gabbioni e materassi metallici, scogliere di protezione dell'alveo e delle "
     "sponde",
     "m³",
     K::Work,
     V::Height,
     55,
     160,
     {"Gabbionata in rete metallica a doppia torsione zincata, riempita con ciottoli o pietrame di cava",
      "Materasso metallico tipo Reno per rivestimenti spondali, riempito con ciottoli di fiume",
      "Scogliera di difesa spondale in massi ciclopici posti in opera con escavatore",
      "Palificata in legname a doppia parete con talee di salice"}},
    {"BRIGLIE E SOGLIE",
     "briglie, soglie di fondo e opere trasversali in calcestruzzo e in massi per la stabilizzazione dell'alveo",
     "m³",
     K::Work,
     V::ConcreteClass,
     120,
     240,
     {"Briglia in calcestruzzo con paramento rivestito in pietrame locale",
      "Soglia di fondo in massi cementati, compresa la preparazione dell'alveo",
      "Platea di dissipazione in calcestruzzo armato a valle di opere trasversali"}},
    {"MANUTENZIONE DEGLI ALVEI",
     "taglio della vegetazione in alveo, rimozione di materiale flottante e risagomatura delle sezioni di "
     "deflusso",
     "m²",
     K::Work,
     V::Area,
     0.8,
     4.5,
     {"Taglio selettivo della vegetazione arborea e arbustiva in alveo, con allontanamento del materiale",
      "Decespugliamento delle sponde con mezzi meccanici e rifinitura a mano",
      "Risagomatura dell'alveo con escavatore e sistemazione del materiale in sponda"}},
};

constexpr Topic kConsolidamenti[] = {
    {"PALI E MICROPALI",
     "pali trivellati di grande diametro, micropali e colonne di terreno consolidato per fondazioni profonde",
     "m",
     K::Work,
     V::Diameter,
     35,
     210,
     {"Micropalo trivellato con armatura tubolare in acciaio e iniezione a pressione di miscela cementizia",
      "Palo trivellato in calcestruzzo armato eseguito con tubo forma recuperabile",
      "Colonna di terreno consolidato con getto ad alta pressione (jet grouting)"}},
    {"TIRANTI E CHIODATURE",
     "tiranti di ancoraggio, chiodature e bulloni per il consolidamento di scarpate, pareti rocciose e opere di "
     "sostegno",
     "m",
     K::Work,
     V::BarDiameter,
     45,
     140,
     {"Tirante di ancoraggio a trefoli, attivo, con bulbo iniettato a pressione ripetuta",
      "Chiodatura di scarpate con barre autoperforanti in acciaio e iniezione cementizia",
      "Bullonatura di pareti rocciose con barre in acciaio ad aderenza migliorata"}},
    {"MURI DI SOSTEGNO E TERRE RINFORZATE",
     "muri di sostegno in calcestruzzo armato, a gravità e in terra rinforzata con geogriglie e paramento "
     "rinverdibile",
     "m²",
     K::Work,
     V::Height,
     85,
     320,
     {"Muro di sostegno in calcestruzzo armato a mensola, compresa la casseratura",
      "Terra rinforzata con geogriglie in poliestere e paramento in rete metallica rinverdibile",
      "Muro a gravità in blocchi di calcestruzzo prefabbricati a incastro"}},
    {"RETI E BARRIERE PARAMASSI",
     "reti in aderenza, pannelli in fune e barriere paramassi a dissipazione di energia per pendii instabili",
     "m²",
     K::Work,
     V::Height,
     30,
     140,
     {"Rete metallica in aderenza a doppia torsione con funi di contenimento e ancoraggi",
      "Barriera paramassi a dissipazione di energia, certificata secondo le linee guida europee",
      "Pannelli in fune d'acciaio per il rafforzamento corticale di pareti rocciose"}},
};

constexpr Topic kSicurezza[] = {
    {"PONTEGGI E OPERE PROVVISIONALI",
     "ponteggi metallici fissi, trabattelli, puntellamenti e opere provvisionali per l'esecuzione dei lavori in "
     "quota",
     "m²",
     K::Safety,
     V::Height,
     8,
     28,
     {"Ponteggio metallico a telai prefabbricati, compresi i piani di lavoro, i parapetti e gli ancoraggi",
      "Trabattello in alluminio su ruote con piani di lavoro e parapetti regolamentari",
      "Puntellamento di solai con puntelli metallici regolabili e orditura in legno",
      "Mantovana parasassi in tavolato per la protezione dei passaggi sottostanti"}},
    {"RECINZIONI E DELIMITAZIONI DI CANTIERE",
     "recinzioni di cantiere, transenne, delimitazioni e segnaletica temporanea per la sicurezza di lavoratori e "
     "terzi",
     "m",
     K::Safety,
     V::Height,
     6,
     32,
     {"Recinzione di cantiere con pannelli in rete elettrosaldata su basamenti in calcestruzzo",
      "Delimitazione di aree di lavoro con transenne metalliche e nastro bicolore",
      "Recinzione cieca in lamiera ondulata su montanti in legno, per cantieri in ambito urbano"}},
    {"BARACCAMENTI E SERVIZI IGIENICI",
     "baracche di cantiere, box uffici, spogliatoi, servizi igienici chimici e locali di ricovero per le "
     "maestranze",
     "cad",
     K::Safety,
     V::Area,
     180,
     950,
     {"Box di cantiere prefabbricato uso ufficio, coibentato, con impianto elettrico e climatizzatore",
      "Box spogliatoio con armadietti a doppio scomparto e panche",
      "Bagno chimico portatile con lavabo, compresa la pulizia settimanale"}},
    {"DISPOSITIVI DI PROTEZIONE COLLETTIVA",
     "parapetti provvisori, linee vita, reti di sicurezza e dispositivi di protezione collettiva contro le cadute "
     "dall'alto",
     "m",
     K::Safety,
     V::Length,
     12,
     260,
     {"Parapetto provvisorio a morsa per solai e rampe, con tavola fermapiede",
      "Linea vita temporanea in fune d'acciaio con ancoraggi di estremità e assorbitore di energia",
      "Rete di sicurezza anticaduta in polipropilene, tesa sotto i piani di lavoro"}},
};

constexpr Topic kNoleggi[] = {
    {"MACCHINE MOVIMENTO TERRA",
     "escavatori, pale caricatrici, terne e rulli compattatori dati a nolo con operatore, funzionanti e in "
     "regola",
     "h",
     K::Hire,
     V::MachineSize,
     45,
     140,
     {"Nolo di escavatore idraulico cingolato con benna da scavo",
      "Nolo di pala caricatrice gommata con benna frontale",
      "Nolo di terna gommata con benna anteriore e braccio escavatore posteriore",
      "Nolo di rullo compattatore vibrante a doppio tamburo"}},
    {"AUTOCARRI E MEZZI DI TRASPORTO",
     "autocarri ribaltabili, autobetoniere, autopompe e mezzi di trasporto dati a nolo con autista",
     "h",
     K::Hire,
     V::MachineSize,
     38,
     110,
     {"Nolo di autocarro ribaltabile a tre assi con cassone in acciaio", "Nolo di autobetoniera con tamburo da 9 m³",
      "Nolo di autopompa per calcestruzzo con braccio di distribuzione"}},
    {"GRU E APPARECCHI DI SOLLEVAMENTO",
     "gru a torre, autogru, piattaforme aeree e montacarichi dati a nolo con manovratore abilitato",
     "h",
     K::Hire,
     V::MachineSize,
     35,
     180,
     {"Nolo di autogru telescopica su autocarro, compreso il manovratore",
      "Nolo di piattaforma aerea su autocarro con cestello per due persone",
      "Nolo di gru a torre ad azionamento elettrico, escluso il montaggio"}},
    {"ATTREZZATURE DI CANTIERE",
     "gruppi elettrogeni, compressori, motopompe e piccole attrezzature di cantiere date a nolo",
     "h",
     K::Hire,
     V::Power,
     3,
     25,
     {"Nolo di gruppo elettrogeno insonorizzato con quadro di comando",
      "Nolo di motocompressore d'aria con martello demolitore",
      "Nolo di motopompa autoadescante per l'aggottamento di scavi"}},
};

constexpr Topic kManoDopera[] = {
    {"OPERAI EDILI",
     "costo orario della mano d'opera del settore edile per lavori in economia, comprensivo di oneri "
     "contrattuali",
     "h",
     K::Labour,
     V::Qualification,
     28,
     32,
     {"Mano d'opera edile per lavori in economia ordinati dalla direzione dei lavori"}},
    {"OPERAI METALMECCANICI E INSTALLATORI",
     "costo orario della mano d'opera di installatori di impianti e operai metalmeccanici per lavori in "
     "economia",
     "h",
     K::Labour,
     V::Qualification,
     29,
     34,
     {"Mano d'opera per l'installazione di impianti elettrici, idraulici e termici"}},
    {"OPERAI AGRICOLI E FORESTALI",
     "costo orario della mano d'opera agricola e forestale per lavori di sistemazione del verde e del territorio",
     "h",
     K::Labour,
     V::Qualification,
     24,
     29,
     {"Mano d'opera agricola e forestale per interventi in economia"}},
};

constexpr Topic kMateriali[] = {
    {"INERTI E LEGANTI",
     "sabbie, ghiaie, pietrischi, cementi e calci per il confezionamento di malte e calcestruzzi in cantiere",
     "t",
     K::Supply,
     V::Grain,
     14,
     38,
     {"Sabbia di fiume lavata e vagliata, per malte e calcestruzzi",
      "Ghiaia tonda di fiume lavata, per calcestruzzi e drenaggi", "Pietrisco di cava frantumato, calcareo o siliceo",
      "Misto granulare stabilizzato per fondazioni stradali"}},
    {"LATERIZI E BLOCCHI",
     "mattoni pieni e forati, blocchi in laterizio alveolato e in calcestruzzo per murature portanti e di "
     "tamponamento",
     "cad",
     K::Supply,
     V::Thickness,
     0.4,
     3.5,
     {"Mattone pieno in laterizio a pasta molle, per murature faccia a vista",
      "Blocco in laterizio alveolato per murature portanti in zona sismica",
      "Blocco in calcestruzzo vibrocompresso a due pareti"}},
    {"LEGNAMI",
     "tavolame, travi e listelli in legno di abete, larice e castagno, legno lamellare per strutture",
     "m³",
     K::Supply,
     V::Thickness,
     280,
     900,
     {"Tavolame di abete sottomisura per casseforme, spessore commerciale",
      "Travi in legno di larice squadrate a spigolo vivo, stagionate",
      "Legno lamellare incollato di abete classe GL24h per strutture"}},
    {"PRODOTTI SIDERURGICI",
     "barre per cemento armato, reti elettrosaldate, profilati e lamiere in acciaio forniti in cantiere",
     "kg",
     K::Supply,
     V::BarDiameter,
     0.9,
     2.2,
     {"Acciaio in barre ad aderenza migliorata B450C, in fasci da 12 m",
      "Rete elettrosaldata in acciaio B450C, in pannelli standard", "Profilati laminati a caldo in acciaio S275JR"}},
};

constexpr Topic kBonifiche[] = {
    {"TRASPORTO E CONFERIMENTO DEI RIFIUTI",
     "trasporto a impianto autorizzato e conferimento dei rifiuti da costruzione e demolizione, con i relativi "
     "formulari",
     "t",
     K::Work,
     V::Distance,
     8,
     45,
     {"Trasporto di materiali di risulta a impianto di recupero autorizzato, con autocarro",
      "Conferimento a impianto di recupero di rifiuti misti da costruzione e demolizione",
      "Conferimento a discarica autorizzata di terre e rocce da scavo non riutilizzabili"}},
    {"RIMOZIONE DI MATERIALI CONTENENTI AMIANTO",
     "rimozione, confezionamento e smaltimento di coperture e manufatti in cemento-amianto secondo il piano di "
     "lavoro",
     "m²",
     K::Work,
     V::Area,
     18,
     65,
     {"Rimozione di lastre di copertura in cemento-amianto, previo trattamento con incapsulante",
      "Rimozione di canne fumarie e serbatoi in cemento-amianto, con confinamento statico",
      "Incapsulamento di coperture in cemento-amianto con prodotto certificato a due mani"}},
    {"BONIFICA DI TERRENI CONTAMINATI",
     "scavo selettivo, caratterizzazione e trattamento di terreni contaminati da idrocarburi e metalli pesanti",
     "m³",
     K::Work,
     V::Depth,
     35,
     180,
     {"Scavo selettivo di terreno contaminato, con separazione per classi di contaminazione",
      "Trattamento di terreni contaminati con tecnica di biorisanamento in biopila",
      "Caratterizzazione analitica di campioni di terreno secondo il protocollo concordato con l'ente di "
      "controllo"}},
};

constexpr Topic kOpereAVerde[] = {
    {"FORNITURA E MESSA A DIMORA DI ALBERI",
     "alberi di prima, seconda e terza grandezza in zolla o in contenitore, messi a dimora in aree pubbliche e "
     "lungo i viali",
     "cad",
     K::Work,
     V::TreeSize,
     60,
     680,
     {"Fornitura e messa a dimora di tiglio (Tilia cordata) in zolla, compresi i pali tutori",
      "Fornitura e messa a dimora di acero campestre (Acer campestre) in zolla, con ancoraggio sotterraneo",
      "Fornitura e messa a dimora di leccio (Quercus ilex) in contenitore, con tubo di irrigazione",
      "Fornitura e messa a dimora di carpino bianco (Carpinus betulus) a impalcatura alta"}},
    {"ARBUSTI E TAPPEZZANTI",
     "arbusti da fiore e da siepe, rampicanti e piante tappezzanti in vaso per aiuole, scarpate e giardini",
     "cad",
     K::Work,
     V::ShrubSize,
     6,
     48,
     {"Fornitura e messa a dimora di arbusti da siepe (Ligustrum, Photinia) in vaso",
      "Fornitura e messa a dimora di rosa tappezzante in vaso, compresa la pacciamatura",
      "Fornitura e messa a dimora di lavanda e piante aromatiche in vaso"}},
    {"PRATI E INERBIMENTI",
     "formazione di tappeti erbosi, idrosemine e inerbimenti di scarpate con miscugli di specie autoctone",
     "m²",
     K::Work,
     V::Area,
     1.5,
     9,
     {"Formazione di tappeto erboso con semina di miscuglio per prati rustici, compresa la preparazione del "
      "terreno",
      "Idrosemina di scarpate con miscuglio di sementi, collanti, concimi e mulch",
      "Posa di prato pronto in zolle su terreno già livellato e concimato"}},
    {"MANUTENZIONE DEL VERDE",
     "sfalci, potature, diserbi e interventi di manutenzione ordinaria del verde pubblico e delle alberature",
     "m²",
     K::Work,
     V::Area,
     0.4,
     3,
     {"Sfalcio di tappeti erbosi con tosaerba, compresa la raccolta del materiale di risulta",
      "Potatura di contenimento di siepi con tagliasiepi a motore, su tre lati",
      "Diserbo meccanico di vialetti e aree pavimentate"}},
};

constexpr Topic kSegnaletica[] = {
    {"SEGNALETICA ORIZZONTALE",
     "strisce longitudinali e trasversali, frecce, scritte e attraversamenti pedonali con pitture e materiali "
     "termoplastici",
     "m",
     K::Work,
     V::Width,
     0.35,
     2.5,
     {"Striscia longitudinale in vernice spartitraffico rifrangente, bianca o gialla",
      "Striscia in materiale termoplastico spruzzato a caldo con microsfere di vetro",
      "Cancellazione di segnaletica orizzontale esistente mediante fresatura leggera"}},
    {"SEGNALETICA VERTICALE",
     "segnali stradali di pericolo, di prescrizione e di indicazione in alluminio, con pellicola rifrangente e "
     "sostegni",
     "cad",
     K::Work,
     V::Dimensions,
     45,
     600,
     {"Segnale stradale in lamiera di alluminio con pellicola rifrangente di classe 2",
      "Palo di sostegno in acciaio zincato tubolare, con tappo e dispositivo antirotazione",
      "Pannello integrativo in alluminio con pellicola ad alta rifrangenza"}},
    {"IMPIANTI SEMAFORICI",
     "lanterne semaforiche, regolatori, sostegni e cavidotti per impianti semaforici veicolari e pedonali",
     "cad",
     K::Work,
     V::Height,
     400,
     3800,
     {"Lanterna semaforica veicolare a tre luci con ottiche a LED",
      "Regolatore semaforico elettronico con centralina di controllo remoto",
      "Sostegno a sbraccio in acciaio zincato per lanterne semaforiche"}},
};

constexpr Topic kImpiantiElettrici[] = {
    {"CAVI E CONDUTTURE",
     "cavi per energia e segnale, tubazioni protettive, canali portacavi e passerelle per impianti elettrici",
     "m",
     K::Work,
     V::CableSection,
     1.8,
     38,
     {"Cavo unipolare FS17 450/750 V in rame, posato entro tubazioni o canali già predisposti",
      "Cavo multipolare FG16OR16 0,6/1 kV in rame, isolato in gomma HEPR",
      "Tubo protettivo in PVC flessibile corrugato, posato sotto traccia",
      "Canale portacavi in PVC con coperchio, completo di accessori di giunzione"}},
    {"QUADRI ELETTRICI E APPARECCHI DI PROTEZIONE",
     "quadri di distribuzione, interruttori magnetotermici e differenziali, apparecchi di comando e di "
     "segnalazione",
     "cad",
     K::Work,
     V::Current,
     35,
     420,
     {"Interruttore automatico magnetotermico modulare, potere di interruzione 6 kA",
      "Interruttore differenziale puro di tipo A, sensibilità 30 mA",
      "Quadro elettrico di distribuzione in materiale isolante, da parete, con portella trasparente"}},
    {"ILLUMINAZIONE PUBBLICA",
     "pali, armature stradali a LED, plinti e linee di alimentazione per l'illuminazione di strade e spazi "
     "pubblici",
     "cad",
     K::Work,
     V::Height,
     350,
     2600,
     {"Palo conico in acciaio zincato a caldo per illuminazione pubblica, posato in plinto prefabbricato",
      "Armatura stradale a LED con ottica asimmetrica e regolazione del flusso luminoso",
      "Plinto prefabbricato in calcestruzzo con pozzetto incorporato"}},
    {"PUNTI DI COMANDO E PRESE",
     "punti luce, punti presa e punti di comando per impianti elettrici civili, completi di frutti e placche",
     "cad",
     K::Work,
     V::Current,
     35,
     160,
     {"Punto luce a interruttore con linea in cavo FS17 entro tubo protettivo sotto traccia",
      "Punto presa bipasso 10/16 A con alveoli schermati, completo di scatola e placca",
      "Punto di comando a pulsante per relè, compresa la quota di linea"}},
    {"IMPIANTI DI TERRA",
     "dispersori, conduttori di protezione ed equipotenziali, impianti di protezione dalle scariche atmosferiche",
     "m",
     K::Work,
     V::CableSection,
     6,
     45,
     {"Conduttore di terra in corda di rame nudo, posato entro scavo già predisposto",
      "Dispersore a picchetto in acciaio ramato, infisso nel terreno entro pozzetto ispezionabile",
      "Collegamento equipotenziale di masse metalliche con cavo giallo-verde"}},
};

constexpr SectionTheme kSections[] = {
    {"01", "Opere edili", 16,
     "I prezzi della sezione si riferiscono a lavori di nuova costruzione e di manutenzione eseguiti in "
     "condizioni di normale difficoltà; sono comprese le spese generali e l'utile d'impresa.",
     kOpereEdili},
    {"02", "Restauro e risanamento conservativo", 6,
     "Le lavorazioni di restauro su beni vincolati vanno eseguite da imprese in possesso della qualificazione "
     "specifica e sotto la sorveglianza della Soprintendenza competente.",
     kRestauro},
    {"03", "Opere stradali", 9,
     "Per lavori eseguiti in presenza di traffico i prezzi comprendono la segnaletica provvisoria di cantiere e "
     "il personale addetto alla regolazione del transito.",
     kOpereStradali},
    {"04", "Fognature e drenaggi", 6, "", kFognature},
    {"05", "Acquedotti", 5,
     "Le tubazioni e le apparecchiature a contatto con l'acqua potabile devono essere conformi al D.M. 174/2004.",
     kAcquedotti},
    {"06", "Impianti idrico-sanitari", 6, "", kIdricoSanitari},
    {"07", "Impianti di riscaldamento e climatizzazione", 6,
     "I prezzi degli impianti comprendono le prove di tenuta, la messa in funzione e il rilascio della "
     "dichiarazione di conformità.",
     kRiscaldamento},
    {"08", "Impianti antincendio", 4, "", kAntincendio},
    {"09", "Opere in ferro e carpenteria metallica", 5,
     "Il peso dei manufatti si determina a lavorazione ultimata, prima della verniciatura, con pesatura diretta "
     "o in base alle tabelle UNI.",
     kOpereInFerro},
    {"10", "Serramenti e opere da falegname", 5, "", kSerramenti},
    {"11", "Coperture e impermeabilizzazioni", 5,
     "Le coperture si misurano secondo la superficie effettiva delle falde, senza detrazione dei vuoti inferiori "
     "a 1,00 m².",
     kCoperture},
    {"12", "Opere marittime", 3,
     "I prezzi comprendono l'impiego dei mezzi marittimi e gli oneri derivanti dalle condizioni meteomarine "
     "ordinarie.",
     kOpereMarittime},
    {"13", "Opere idrauliche e sistemazioni fluviali", 4, "", kOpereIdrauliche},
    {"14", "Consolidamenti e opere geotecniche", 4,
     "Le lunghezze di pali, micropali e tiranti si misurano dalla quota di testa alla quota di fondo foro.",
     kConsolidamenti},
    {"15", "Sicurezza nei cantieri", 4,
     "I costi della sicurezza non sono soggetti a ribasso d'asta e vanno stimati analiticamente nel piano di "
     "sicurezza e coordinamento.",
     kSicurezza},
    {"16", "Noli", 3,
     "I noli si intendono per macchine funzionanti, comprensivi dell'operatore, dei consumi e della "
     "manutenzione; il tempo si conta dal momento in cui la macchina è messa a disposizione.",
     kNoleggi},
    {"17", "Mano d'opera", 2,
     "I costi orari derivano dai contratti collettivi provinciali vigenti e comprendono spese generali e utile "
     "d'impresa.",
     kManoDopera},
    {"18", "Materiali a piè d'opera", 3, "", kMateriali},
    {"19", "Bonifiche e gestione dei rifiuti", 3,
     "Gli oneri di conferimento si applicano al peso netto risultante dal formulario di identificazione del "
     "rifiuto.",
     kBonifiche},
    {"20", "Opere a verde", 4,
     "Le piante devono provenire da vivai autorizzati ed essere accompagnate dal passaporto delle piante.",
     kOpereAVerde},
    {"22", "Segnaletica stradale", 3, "", kSegnaletica},
    {"23", "Impianti elettrici", 7,
     "Gli impianti devono essere eseguiti secondo le norme CEI vigenti; il prezzo comprende le verifiche "
     "strumentali prima della messa in servizio.",
     kImpiantiElettrici},
};

constexpr std::string_view kThickness[] = {
    "spessore 4 cm",  "spessore 5 cm",  "spessore 6 cm",  "spessore 8 cm",  "spessore 10 cm",
    "spessore 12 cm", "spessore 15 cm", "spessore 20 cm", "spessore 25 cm",
};
constexpr std::string_view kDepth[] = {
    "per profondità fino a 1,50 m dal piano di campagna",     "per profondità da 1,50 a 3,00 m dal piano di campagna",
    "per profondità da 3,00 a 4,50 m dal piano di campagna",  "per profondità da 4,50 a 6,00 m dal piano di campagna",
    "per profondità da 6,00 a 7,50 m dal piano di campagna",  "per profondità da 7,50 a 9,00 m dal piano di campagna",
    "per profondità da 9,00 a 10,50 m dal piano di campagna", "per profondità da 10,50 a 12,00 m dal piano di campagna",
    "per profondità oltre 12,00 m dal piano di campagna",
};
constexpr std::string_view kDiameter[] = {
    "diametro nominale DN 50",  "diametro nominale DN 63",  "diametro nominale DN 80",
    "diametro nominale DN 100", "diametro nominale DN 125", "diametro nominale DN 160",
    "diametro nominale DN 200", "diametro nominale DN 250", "diametro nominale DN 315",
};
constexpr std::string_view kBarDiameter[] = {
    "diametro 8 mm",  "diametro 10 mm", "diametro 12 mm", "diametro 14 mm", "diametro 16 mm",
    "diametro 20 mm", "diametro 24 mm", "diametro 26 mm", "diametro 32 mm",
};
constexpr std::string_view kConcreteClass[] = {
    "classe di resistenza C12/15, classe di esposizione X0",  "classe di resistenza C16/20, classe di esposizione X0",
    "classe di resistenza C20/25, classe di esposizione XC1", "classe di resistenza C25/30, classe di esposizione XC2",
    "classe di resistenza C28/35, classe di esposizione XC3", "classe di resistenza C30/37, classe di esposizione XC4",
    "classe di resistenza C32/40, classe di esposizione XD1", "classe di resistenza C35/45, classe di esposizione XS1",
    "classe di resistenza C40/50, classe di esposizione XF4",
};
constexpr std::string_view kCableSection[] = {
    "sezione 1,5 mm²", "sezione 2,5 mm²", "sezione 4 mm²",  "sezione 6 mm²",  "sezione 10 mm²",
    "sezione 16 mm²",  "sezione 25 mm²",  "sezione 35 mm²", "sezione 50 mm²",
};
constexpr std::string_view kCurrent[] = {
    "corrente nominale 6 A",  "corrente nominale 10 A", "corrente nominale 16 A",
    "corrente nominale 20 A", "corrente nominale 25 A", "corrente nominale 32 A",
    "corrente nominale 40 A", "corrente nominale 63 A", "corrente nominale 100 A",
};
constexpr std::string_view kDimensions[] = {
    "dimensioni 20x20 cm",   "dimensioni 30x30 cm",   "dimensioni 40x40 cm",
    "dimensioni 50x50 cm",   "dimensioni 60x60 cm",   "dimensioni 80x80 cm",
    "dimensioni 100x100 cm", "dimensioni 120x120 cm", "dimensioni 150x150 cm",
};
constexpr std::string_view kPower[] = {
    "potenza utile fino a 24 kW",    "potenza utile da 24 a 35 kW",   "potenza utile da 35 a 50 kW",
    "potenza utile da 50 a 70 kW",   "potenza utile da 70 a 100 kW",  "potenza utile da 100 a 150 kW",
    "potenza utile da 150 a 250 kW", "potenza utile da 250 a 350 kW", "potenza utile oltre 350 kW",
};
constexpr std::string_view kMachineSize[] = {
    "macchina con potenza fino a 50 kW",    "macchina con potenza da 51 a 75 kW",
    "macchina con potenza da 76 a 100 kW",  "macchina con potenza da 101 a 130 kW",
    "macchina con potenza da 131 a 170 kW", "macchina con potenza da 171 a 210 kW",
    "macchina con potenza da 211 a 260 kW", "macchina con potenza da 261 a 320 kW",
    "macchina con potenza oltre 320 kW",
};
constexpr std::string_view kTreeSize[] = {
    "circonferenza del fusto 10-12 cm a 1,00 m dal colletto", "circonferenza del fusto 12-14 cm a 1,00 m dal colletto",
    "circonferenza del fusto 14-16 cm a 1,00 m dal colletto", "circonferenza del fusto 16-18 cm a 1,00 m dal colletto",
    "circonferenza del fusto 18-20 cm a 1,00 m dal colletto", "circonferenza del fusto 20-25 cm a 1,00 m dal colletto",
    "circonferenza del fusto 25-30 cm a 1,00 m dal colletto", "circonferenza del fusto 30-35 cm a 1,00 m dal colletto",
    "circonferenza del fusto 35-40 cm a 1,00 m dal colletto",
};
constexpr std::string_view kShrubSize[] = {
    "in vaso di diametro 14 cm", "in vaso di diametro 16 cm", "in vaso di diametro 18 cm",
    "in vaso di diametro 20 cm", "in vaso di diametro 24 cm", "in vaso di diametro 28 cm",
    "in vaso di diametro 32 cm", "in vaso di diametro 36 cm", "in vaso di diametro 40 cm",
};
constexpr std::string_view kWeight[] = {
    "per elementi di peso fino a 50 kg",        "per elementi di peso da 50 a 100 kg",
    "per elementi di peso da 100 a 250 kg",     "per elementi di peso da 250 a 500 kg",
    "per elementi di peso da 500 a 1.000 kg",   "per elementi di peso da 1.000 a 3.000 kg",
    "per elementi di peso da 3.000 a 5.000 kg", "per elementi di peso da 5.000 a 7.000 kg",
    "per elementi di peso oltre 7.000 kg",
};
constexpr std::string_view kQualification[] = {
    "operaio comune, ora ordinaria",
    "operaio qualificato, ora ordinaria",
    "operaio specializzato, ora ordinaria",
    "operaio di quarto livello, ora ordinaria",
    "operaio comune, ora di lavoro straordinario",
    "operaio qualificato, ora di lavoro straordinario",
    "operaio specializzato, ora di lavoro straordinario",
    "operaio di quarto livello, ora di lavoro straordinario",
    "capo squadra, ora ordinaria",
};
constexpr std::string_view kLength[] = {
    "lunghezza fino a 0,50 m",    "lunghezza da 0,50 a 1,00 m", "lunghezza da 1,00 a 1,50 m",
    "lunghezza da 1,50 a 2,00 m", "lunghezza da 2,00 a 3,00 m", "lunghezza da 3,00 a 4,00 m",
    "lunghezza da 4,00 a 6,00 m", "lunghezza da 6,00 a 8,00 m", "lunghezza oltre 8,00 m",
};
constexpr std::string_view kHeight[] = {
    "altezza fino a 0,50 m",    "altezza da 0,50 a 1,00 m", "altezza da 1,00 a 1,50 m",
    "altezza da 1,50 a 2,00 m", "altezza da 2,00 a 3,00 m", "altezza da 3,00 a 4,00 m",
    "altezza da 4,00 a 6,00 m", "altezza da 6,00 a 8,00 m", "altezza oltre 8,00 m",
};
constexpr std::string_view kWidth[] = {
    "larghezza 10 cm", "larghezza 12 cm", "larghezza 15 cm", "larghezza 20 cm", "larghezza 25 cm",
    "larghezza 30 cm", "larghezza 40 cm", "larghezza 50 cm", "larghezza 60 cm",
};
constexpr std::string_view kArea[] = {
    "per superfici fino a 10 m²",      "per superfici da 10 a 25 m²",       "per superfici da 25 a 50 m²",
    "per superfici da 50 a 100 m²",    "per superfici da 100 a 250 m²",     "per superfici da 250 a 500 m²",
    "per superfici da 500 a 1.000 m²", "per superfici da 1.000 a 2.500 m²", "per superfici oltre 2.500 m²",
};
constexpr std::string_view kCapacity[] = {
    "capacità 6 l",   "capacità 9 l",   "capacità 30 l",  "capacità 50 l",  "capacità 80 l",
    "capacità 100 l", "capacità 150 l", "capacità 200 l", "capacità 300 l",
};
constexpr std::string_view kContainmentClass[] = {
    "classe di contenimento N1",
    "classe di contenimento N2",
    "classe di contenimento H1",
    "classe di contenimento H2",
    "classe di contenimento H3",
    "classe di contenimento H4",
    "classe di contenimento H2 bordo ponte",
    "classe di contenimento H3 bordo ponte",
    "classe di contenimento H4 bordo ponte",
};
constexpr std::string_view kGrain[] = {
    "pezzatura 0-2 mm",   "pezzatura 0-4 mm",   "pezzatura 0-8 mm",   "pezzatura 4-8 mm",    "pezzatura 8-16 mm",
    "pezzatura 16-32 mm", "pezzatura 32-63 mm", "pezzatura 40-70 mm", "pezzatura 70-120 mm",
};
constexpr std::string_view kDistance[] = {
    "per distanze fino a 5 km",    "per distanze da 5 a 10 km",    "per distanze da 10 a 20 km",
    "per distanze da 20 a 30 km",  "per distanze da 30 a 50 km",   "per distanze da 50 a 75 km",
    "per distanze da 75 a 100 km", "per distanze da 100 a 150 km", "per distanze oltre 150 km",
};

constexpr std::string_view kWorkQualifiers[] = {
    "in ambito urbano",
    "anche in presenza di traffico veicolare",
    "in zone di difficile accesso ai mezzi d'opera",
    "per interventi di manutenzione straordinaria",
    "all'interno di edifici occupati",
    "all'esterno, a qualsiasi altezza",
    "in centri storici con accesso limitato",
    "per lavori di modesta entità",
};
constexpr std::string_view kWorkExecution[] = {
    "secondo le prescrizioni del capitolato speciale d'appalto",
    "in opera all'interno o all'esterno di edifici, a qualsiasi piano",
    "da personale qualificato con l'impiego di mezzi d'opera adeguati",
    "nel rispetto delle norme UNI e delle indicazioni del produttore",
    "secondo i disegni di progetto e le indicazioni della direzione dei lavori",
    "con materiali provvisti di marcatura CE e di dichiarazione di prestazione",
};
constexpr std::string_view kWorkInclusion[] = {
    "compreso il carico, il trasporto e lo scarico dei materiali di risulta a impianto autorizzato",
    "compresi i ponteggi fino a 3,50 m di altezza e i piani di lavoro",
    "compresa la pulizia finale delle superfici e dell'area di lavoro",
    "compresi i tagli, gli sfridi e le assistenze murarie",
    "compresa la protezione dell'opera fino al collaudo",
    "compresa la fornitura di ogni materiale occorrente, anche di consumo",
    "compreso il tiro in alto e il calo in basso dei materiali",
};
constexpr std::string_view kWorkClosing[] = {
    "e ogni altro onere e magistero per dare l'opera finita a regola d'arte",
    "e quanto altro occorre per dare il lavoro compiuto a perfetta regola d'arte",
    "compreso ogni onere e magistero per dare l'opera finita a regola d'arte",
};
constexpr std::string_view kWorkDetails[] = {
    "misurato in opera secondo le effettive dimensioni",
    "valutato al netto dei vuoti superiori a 1,00 m²",
    "compreso lo sfrido e il tiro in alto dei materiali",
    "con materiali di prima scelta accettati dalla direzione dei lavori",
    "per quantità pari a quelle di un normale cantiere",
    "eseguito anche in presenza d'acqua o all'esterno dell'edificio",
    "già comprensivo degli oneri per la sicurezza ordinaria",
    "secondo le indicazioni della direzione dei lavori",
    "con finitura superficiale a scelta della direzione dei lavori",
    "con le prove di accettazione che la direzione dei lavori può richiedere",
};

constexpr std::string_view kSupplyQualifiers[] = {
    "di prima qualità",
    "con certificazione di qualità del produttore",
    "conforme alle norme di prodotto armonizzate",
};
constexpr std::string_view kSupplyExecution[] = {
    "fornito a piè d'opera in cantiere",
    "fornito in confezioni originali sigillate o sfuso",
    "reso franco cantiere su automezzo",
};
constexpr std::string_view kSupplyInclusion[] = {
    "compreso il trasporto fino al cantiere",
    "escluso lo scarico in cantiere, compensato a parte",
    "compresi gli imballi a perdere",
};
constexpr std::string_view kSupplyClosing[] = {
    "e ogni onere per la consegna nei tempi richiesti dalla direzione dei lavori",
    "e la documentazione tecnica di accompagnamento",
};
constexpr std::string_view kSupplyDetails[] = {
    "per forniture di quantità ordinaria",
    "con scheda tecnica e dichiarazione di prestazione del produttore",
    "con prelievo di campioni per le prove di accettazione a carico del fornitore",
    "misurato sul mezzo di trasporto all'arrivo in cantiere",
    "accompagnato dal documento di trasporto",
};

constexpr std::string_view kHireQualifiers[] = {
    "in perfetto stato di efficienza",
    "rispondente alle norme di sicurezza vigenti",
    "con le revisioni periodiche in regola",
};
constexpr std::string_view kHireExecution[] = {
    "dato a nolo funzionante in cantiere",
    "messo a disposizione per il tempo ordinato dalla direzione dei lavori",
    "dato a nolo per lavori in economia",
};
constexpr std::string_view kHireInclusion[] = {
    "compresi l'operatore, i consumi di carburante e di lubrificante",
    "compresi l'operatore abilitato e l'assicurazione per responsabilità civile",
    "escluso il trasporto in andata e ritorno, compensato a parte",
};
constexpr std::string_view kHireClosing[] = {
    "e ogni onere per il regolare funzionamento",
    "e ogni onere di manutenzione ordinaria",
};
constexpr std::string_view kHireDetails[] = {
    "per ogni ora di effettivo funzionamento",         "con fatturazione minima di quattro ore",
    "computato per il solo tempo di effettivo lavoro", "con operatore e carburante compresi",
    "per impieghi anche in turni successivi",
};

constexpr std::string_view kLabourQualifiers[] = {
    "per lavori in economia ordinati dalla direzione dei lavori",
    "per prestazioni rese in cantiere",
};
constexpr std::string_view kLabourExecution[] = {
    "secondo il contratto collettivo vigente per il settore",
    "con l'attrezzatura d'uso corrente",
};
constexpr std::string_view kLabourInclusion[] = {
    "compresi gli oneri previdenziali e assicurativi, le spese generali e l'utile d'impresa",
    "comprese le indennità contrattuali e l'uso degli attrezzi minuti",
};
constexpr std::string_view kLabourClosing[] = {
    "e ogni onere accessorio",
    "e la quota di sorveglianza tecnica",
};
constexpr std::string_view kLabourDetails[] = {
    "per ogni ora di lavoro effettivamente prestata in cantiere",
    "comprese le spese generali e l'utile d'impresa",
    "secondo il contratto collettivo provinciale vigente",
    "con l'attrezzatura d'uso corrente",
};

constexpr std::string_view kSafetyQualifiers[] = {
    "per cantieri in ambito urbano",
    "per lavori su edifici occupati",
    "per cantieri stradali",
};
constexpr std::string_view kSafetyExecution[] = {
    "conforme al D.Lgs. 81/2008 e al piano di sicurezza e coordinamento",
    "per l'apprestamento del cantiere in sicurezza",
    "fornito e posto in opera secondo le istruzioni del fabbricante",
};
constexpr std::string_view kSafetyInclusion[] = {
    "compreso il montaggio, lo smontaggio e l'allontanamento a fine lavori",
    "compresa la manutenzione periodica e le verifiche prescritte",
    "compreso il trasporto in andata e ritorno",
};
constexpr std::string_view kSafetyClosing[] = {
    "e ogni onere per mantenere l'apprestamento in efficienza per tutta la durata dei lavori",
    "e ogni altro onere per dare l'apprestamento funzionante e sicuro",
};
constexpr std::string_view kSafetyDetails[] = {
    "valutato per il primo mese o frazione",
    "per ogni mese o frazione successivo al primo",
    "misurato in proiezione verticale sulla facciata",
    "compresa la verifica dell'efficienza prima di ogni impiego",
    "conforme all'autorizzazione ministeriale del sistema",
};

constexpr KindPhrases kWork = {kWorkQualifiers, kWorkExecution, kWorkInclusion, kWorkClosing, kWorkDetails};
constexpr KindPhrases kSupply = {kSupplyQualifiers, kSupplyExecution, kSupplyInclusion, kSupplyClosing, kSupplyDetails};
constexpr KindPhrases kHire = {kHireQualifiers, kHireExecution, kHireInclusion, kHireClosing, kHireDetails};
constexpr KindPhrases kLabour = {kLabourQualifiers, kLabourExecution, kLabourInclusion, kLabourClosing, kLabourDetails};
constexpr KindPhrases kSafety = {kSafetyQualifiers, kSafetyExecution, kSafetyInclusion, kSafetyClosing, kSafetyDetails};

constexpr std::string_view kChapterSettings[] = {
    "in ambito urbano e nei centri storici",    "per interventi di manutenzione straordinaria",
    "in zone montane e di difficile accesso",   "per edifici scolastici, sanitari e di uso pubblico",
    "per infrastrutture viarie e opere d'arte", "per interventi di recupero e riqualificazione energetica",
    "in aree soggette a vincolo paesaggistico", "per lavori eseguiti in presenza di esercizio",
};

constexpr std::string_view kChapterNotes[] = {
    "I prezzi del presente capitolo comprendono le spese generali nella misura del 15% e l'utile d'impresa "
    "nella misura del 10%.",
    "Per lavori eseguiti in ambienti confinati si applica una maggiorazione del 20% sui prezzi del capitolo.",
    "Le quantità si misurano in opera secondo le effettive dimensioni; non si tiene conto degli sfridi.",
    "Nei centri storici, dove l'accesso dei mezzi è limitato, i prezzi possono essere maggiorati fino al 15% "
    "previa autorizzazione della direzione dei lavori.",
    "I materiali devono essere provvisti di marcatura CE; i certificati vanno consegnati alla direzione dei "
    "lavori prima della posa.",
    "Per interventi di entità inferiore a 10 m² si applica una maggiorazione del 25%.",
    "Gli oneri della sicurezza sono compresi nei prezzi nella misura indicata nella nota metodologica.",
    "I prezzi valgono per lavori eseguiti in orario diurno e feriale; per lavori notturni o festivi si veda la "
    "sezione della mano d'opera.",
};

constexpr std::string_view kArticleNotes[] = {
    "Il prezzo non comprende il trasporto a discarica, compensato a parte.",
    "Per altezze superiori a 3,50 m si applica in aggiunta il prezzo dei ponteggi.",
    "Da impiegare solo previa approvazione del campione da parte della direzione dei lavori.",
    "La misurazione si effettua sulla superficie effettivamente trattata, con detrazione dei vuoti.",
    "Il peso si determina sulla base delle tabelle UNI dei profilati.",
    "Prezzo riferito a quantità minime di 50 m²; per quantità inferiori si applica una maggiorazione del 20%.",
    "Comprende l'onere della pulizia giornaliera dell'area di lavoro.",
    "Vale anche per interventi all'esterno dell'edificio, perché la lavorazione non dipende dall'altezza.",
};

constexpr std::string_view kSubarticleNotes[] = {
    "Misura riferita al diametro nominale.",
    "Colore a scelta della direzione dei lavori.",
    "Per quantità superiori a 100 unità è ammessa una riduzione del 5%.",
    "Prezzo valido per forniture già disponibili a catalogo.",
};

} // namespace

std::span<const SectionTheme> sectionThemes()
{
    return kSections;
}

std::span<const std::string_view> variantSteps(Variant variant)
{
    switch (variant) {
    case Variant::Thickness:
        return kThickness;
    case Variant::Depth:
        return kDepth;
    case Variant::Diameter:
        return kDiameter;
    case Variant::BarDiameter:
        return kBarDiameter;
    case Variant::ConcreteClass:
        return kConcreteClass;
    case Variant::CableSection:
        return kCableSection;
    case Variant::Current:
        return kCurrent;
    case Variant::Dimensions:
        return kDimensions;
    case Variant::Power:
        return kPower;
    case Variant::MachineSize:
        return kMachineSize;
    case Variant::TreeSize:
        return kTreeSize;
    case Variant::ShrubSize:
        return kShrubSize;
    case Variant::Weight:
        return kWeight;
    case Variant::Qualification:
        return kQualification;
    case Variant::Length:
        return kLength;
    case Variant::Height:
        return kHeight;
    case Variant::Width:
        return kWidth;
    case Variant::Area:
        return kArea;
    case Variant::Capacity:
        return kCapacity;
    case Variant::ContainmentClass:
        return kContainmentClass;
    case Variant::Grain:
        return kGrain;
    case Variant::Distance:
        return kDistance;
    }
    return kThickness;
}

const KindPhrases& kindPhrases(ItemKind kind)
{
    switch (kind) {
    case ItemKind::Work:
        return kWork;
    case ItemKind::Supply:
        return kSupply;
    case ItemKind::Hire:
        return kHire;
    case ItemKind::Labour:
        return kLabour;
    case ItemKind::Safety:
        return kSafety;
    }
    return kWork;
}

std::span<const std::string_view> chapterSettings()
{
    return kChapterSettings;
}

std::span<const std::string_view> chapterNotes()
{
    return kChapterNotes;
}

std::span<const std::string_view> articleNotes()
{
    return kArticleNotes;
}

std::span<const std::string_view> subarticleNotes()
{
    return kSubarticleNotes;
}

} // namespace builder::demo
