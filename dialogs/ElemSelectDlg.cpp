#include "ElemSelectDlg.h"

#include "MessageBox.h"

#include "ColourPicker.h"
#include "DialogUnits.h"
#include "StringTable.h"
#include "acquisition/ChannelModel.h"
#include "chart/qt/QtColour.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QRegularExpressionValidator>

namespace {

std::vector<std::string> Texts(const QComboBox* list) {
    std::vector<std::string> texts;
    for (int i = 0; i < list->count(); ++i) {
        texts.push_back(list->itemText(i).toStdString());
    }
    return texts;
}

} // namespace

CElemSelectDlg::CElemSelectDlg(bool addMode, QWidget* parent) : QDialog(parent), m_addMode(addMode) {
    const bool chinese = QLocale().language() == QLocale::Chinese;
    setFont(g_DialogFont(chinese));
    const CDialogUnits units(font());
    auto place = [&](QWidget* w, tagDluRect r) {
        w->setGeometry(units.ToPixels(r));
        return w;
    };
    place(new QLabel(tr("Channel:"), this), {12, 17, 45, 8});
    m_kind = new QComboBox(this);
    m_kind->setObjectName(QString::number(IDC_KIND));
    place(m_kind, {59, 15, 71, 13});
    m_addressLabel = new QLabel(tr("Address:"), this);
    place(m_addressLabel, {148, 17, 41, 8});
    m_address = new QLineEdit(this);
    m_address->setObjectName(QString::number(IDC_ADDRESS));
    m_address->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), m_address));
    place(m_address, {190, 14, 71, 14});
    m_axisLabel = new QLabel(tr("Axis:"), this);
    place(m_axisLabel, {148, 17, 41, 8});
    m_axis = new QComboBox(this);
    m_axis->setObjectName(QString::number(IDC_AXIS));
    place(m_axis, {190, 15, 71, 13});
    m_parametersLabel = new QLabel(tr("Parameters:"), this);
    place(m_parametersLabel, {12, 41, 45, 8});
    m_parameters = new QComboBox(this);
    m_parameters->setObjectName(QString::number(IDC_PARAMETERS));
    place(m_parameters, {59, 39, 202, 13});
    place(new QLabel(tr("DataType:"), this), {12, 65, 45, 8});
    m_type = new QComboBox(this);
    m_type->setObjectName(QString::number(IDC_TYPE));
    place(m_type, {59, 63, 71, 13});
    place(new QLabel(tr("Color:"), this), {148, 65, 41, 8});
    m_colour = new QPushButton(this);
    m_colour->setObjectName(QString::number(IDC_COLOUR));
    m_colour->setAutoDefault(false);
    place(m_colour, {190, 61, 71, 16});
    auto* ok = new QPushButton(tr("OK"), this);
    ok->setDefault(true);
    place(ok, {84, 115, 50, 16});
    auto* cancel = new QPushButton(tr("Cancel"), this);
    cancel->setAutoDefault(false);
    place(cancel, {145, 115, 50, 16});
    setFixedSize(units.X(279), units.Y(138));

    connect(m_kind, &QComboBox::currentIndexChanged, this, [this] {
        if (!m_filling) {
            OnElementKindChanged();
        }
    });
    connect(m_parameters, &QComboBox::currentIndexChanged, this, [this] {
        if (!m_filling) {
            FillDataTypes();
        }
    });
    connect(m_colour, &QPushButton::clicked, this, &CElemSelectDlg::OnColorButton);
    connect(ok, &QPushButton::clicked, this, &CElemSelectDlg::OnOK);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

int CElemSelectDlg::exec() {
    OnInitDialog();
    return QDialog::exec();
}

bool CElemSelectDlg::AxisMode() const {
    return m_kind->currentIndex() == kAxisKind;
}

void CElemSelectDlg::OnInitDialog() {
    setWindowTitle(LoadStringById(m_addMode ? IDS_ADD_CHANNEL : IDS_MODIFY_CHANNEL));
    m_filling = true;
    m_kind->clear();
    for (const std::string& text : KindListTexts(LoadStringById(IDS_AXIS_PARAMETERS).toStdString())) {
        m_kind->addItem(QString::fromStdString(text));
    }
    m_axis->clear();
    for (int i = 0; i < kAxisCountInDialog; ++i) {
        m_axis->addItem(QStringLiteral("Axis%1").arg(i));
    }
    m_parameters->clear();
    for (const tagAxisParameter& p : AxisParameterTable) {
        m_parameters->addItem(QString::fromLatin1(p.name.data(), static_cast<qsizetype>(p.name.size())));
    }
    m_filling = false;
    PaintColourButton();
    ShowRecord();
}

void CElemSelectDlg::ShowRecord() {
    const tagChannelFields fields = FieldsOfRecord(m_record);
    m_filling = true;
    m_kind->setCurrentIndex(fields.kind);
    m_axis->setCurrentIndex(fields.axis);
    m_parameters->setCurrentIndex(fields.parameterRow);
    m_filling = false;
    OnElementKindChanged();
    const std::string_view type = DataTypeText(m_record.dataType);
    const int entry = m_type->findText(QString::fromLatin1(type.data(), static_cast<qsizetype>(type.size())));
    if (entry >= 0) {
        m_type->setCurrentIndex(entry);
    }
    m_address->setText(QString::fromStdString(fields.address));
}

void CElemSelectDlg::OnElementKindChanged() {
    const bool axis = AxisMode();
    m_addressLabel->setVisible(!axis);
    m_address->setVisible(!axis);
    m_axisLabel->setVisible(axis);
    m_axis->setVisible(axis);
    m_parametersLabel->setVisible(axis);
    m_parameters->setVisible(axis);
    FillDataTypes();
}

void CElemSelectDlg::FillDataTypes() {
    const std::string remembered = m_type->currentText().toStdString();
    m_type->clear();
    const int kind = m_kind->currentIndex();
    for (const std::string& text : DataTypeTexts(kind < 0 ? 0 : kind, m_parameters->currentIndex())) {
        m_type->addItem(QString::fromStdString(text));
    }
    if (AxisMode()) {
        m_type->setCurrentIndex(0);
        return;
    }
    const int entry = remembered.empty() ? -1 : FindEntryStartingWith(Texts(m_type), remembered);
    m_type->setCurrentIndex(entry < 0 ? 0 : entry);
}

void CElemSelectDlg::PaintColourButton() {
    const QColor colour = g_ToQColor(m_record.colour);
    m_colour->setStyleSheet(QStringLiteral("QPushButton { background-color: %1; border: 1px solid #707070; }")
                                .arg(colour.name()));
}

void CElemSelectDlg::OnColorButton() {
    if (const std::optional<uint32_t> picked = g_PickTraceColour(m_record.colour, this)) {
        m_record.colour = *picked;
        PaintColourButton();
    }
}

void CElemSelectDlg::OnOK() {
    tagChannelFields fields;
    fields.kind = m_kind->currentIndex();
    fields.address = m_address->text().toStdString();
    fields.axis = m_axis->currentIndex();
    fields.parameterRow = m_parameters->currentIndex();
    tagOscilloElem record = m_record;
    if (!RecordFromFields(fields, m_type->currentText().toStdString(), m_record.colour, record)) {
        g_ShowMessage(this, EnumMessageKind::Problem, LoadStringById(IDS_ADDRESS_RANGE));
        m_address->setFocus();
        m_address->selectAll();
        return;
    }
    m_record = record;
    accept();
}
