#include "texts/frmPremesse.h"

#include "ui/AccessibleNames.h"
#include "core/AppState.h"
#include "ui/Guard.h"
#include "ui/KeyboardAccess.h"
#include "ui/SectionCombo.h"
#include "ui/WaitCursor.h"
#include "ui/WindowPlacement.h"

#include <QCloseEvent>
#include <QLineEdit>

#include "ui_frmPremesse.h"

namespace texts {

namespace {

const QString kPrefazione = QStringLiteral("Prefazione Prezzario");
const QString kNotaGenerale = QStringLiteral("Nota metodologica - Premessa generale");
const QString kNotaPrima = QStringLiteral("Nota metodologica - Dettaglio-parte prima");
const QString kNotaSeconda = QStringLiteral("Nota metodologica - Dettaglio-parte seconda");

// Sections 21 and 24 have no subarticles of their own, only an introduction: they follow 20 and 23.
const QString kSezione21 = QStringLiteral("21 - Ingegneria Naturalistico e Recupero Ambientale");
const QString kSezione24 = QStringLiteral("24 - Agricoltura");

} // namespace

frmPremesse::frmPremesse(core::AppState& state, QWidget* mainWindow)
    : QWidget(nullptr), m_state(state), m_mainWindow(mainWindow), m_ui(std::make_unique<Ui::frmPremesse>())
{
    m_ui->setupUi(this);
    ui::setUpSectionCombo(m_ui->cmbSezioni);
    ui::nameComboEditors(this);

    // Picking an entry loads it, even the one already shown.
    connect(m_ui->cmbSezioni, &QComboBox::activated, this, &frmPremesse::cmbSezioni_Click);
    // Typing only, never a pick or a text set in code.
    connect(m_ui->cmbSezioni->lineEdit(), &QLineEdit::textEdited, this, &frmPremesse::cmbSezioni_Change);
    ui::closeOnEscape(this);
}

frmPremesse::~frmPremesse() = default;

void frmPremesse::showFromMenu()
{
    m_ui->cmbSezioni->clear();
    m_ui->cmbSezioni->setEditText(QString());
    m_ui->txtPremessa->clear();
    Form_Load();
    ui::restorePlacement(this, size());
    show();
    raise();
    activateWindow();
}

void frmPremesse::Form_Load()
{
    // Counted with the function windows: one of them closing leaves the menu out of reach while this is open.
    setProperty(ui::kHoldsMainWindow, true);
    if (m_mainWindow)
        m_mainWindow->setEnabled(false);
    ui::guarded(this, [this] {
        ui::WaitCursor wait;
        fillSezioni();
    });
}

void frmPremesse::Form_Unload()
{
    if (m_mainWindow)
        ui::releaseMainWindow(m_mainWindow, this);
}

void frmPremesse::closeEvent(QCloseEvent* event)
{
    ui::savePlacement(this);
    Form_Unload();
    event->accept();
}

void frmPremesse::fillSezioni()
{
    QComboBox* combo = m_ui->cmbSezioni;
    combo->addItems({kPrefazione, kNotaGenerale, kNotaPrima, kNotaSeconda});

    for (const core::Section& section : m_state.priceList.sections()) {
        combo->addItem(section.entry());
        if (section.code == QLatin1String("20"))
            combo->addItem(kSezione21);
        else if (section.code == QLatin1String("23"))
            combo->addItem(kSezione24);
    }

    combo->setCurrentIndex(-1);
}

void frmPremesse::cmbSezioni_Click()
{
    ui::guarded(this, [this] {
        ui::WaitCursor wait;
        showEntry(m_ui->cmbSezioni->currentText());
    });
}

void frmPremesse::cmbSezioni_Change(const QString& text)
{
    if (text.isEmpty())
        return;
    ui::guarded(this, [this, text] {
        ui::WaitCursor wait;
        showSection(text);
    });
}

void frmPremesse::showEntry(const QString& entry)
{
    if (entry.isEmpty())
        return;
    if (entry == kPrefazione)
        showPremessa(core::PrefaceColumn::Premessa, QStringLiteral("Prefazione"));
    else if (entry == kNotaGenerale)
        showPremessa(core::PrefaceColumn::Premessa, QStringLiteral("Premessa"));
    else if (entry == kNotaPrima)
        showPremessa(core::PrefaceColumn::Premessa2, QStringLiteral("Premessa"));
    else if (entry == kNotaSeconda)
        showPremessa(core::PrefaceColumn::Premessa3, QStringLiteral("Premessa"));
    else
        showSection(entry);
}

void frmPremesse::showSection(const QString& text)
{
    showPremessa(core::PrefaceColumn::Premessa, core::sectionCodeOf(text));
}

// Every entry, the preface included, shows nothing when its row is missing or its text is Null.
void frmPremesse::showPremessa(core::PrefaceColumn column, const QString& codice)
{
    m_ui->txtPremessa->setPlainText(m_state.priceList.preface(codice, column).toString());
}

} // namespace texts
