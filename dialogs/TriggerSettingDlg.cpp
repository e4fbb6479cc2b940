#include "TriggerSettingDlg.h"

#include "DialogUnits.h"
#include "StringTable.h"
#include "acquisition/StringIds.h"
#include "acquisition/TriggerCapture.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QSpinBox>

namespace {

struct tagLayout {
    tagDluRect enable, channelLabel, channel, conditionLabel, condition, valueLabel, value;
    tagDluRect preLabel, pre, repeat, postLabel, post, ok, cancel;
    int width, height;
};

// Template 134 in both languages, the lists given the height of their closed field; the history
// and repeat rows go between the value and the buttons, which move down by their height.
constexpr int kRows = 62; // dialog units the three rows take
constexpr tagLayout kEnglish{{11, 11, 96, 10},
                             {11, 38, 62, 8},
                             {76, 36, 134, 13},
                             {11, 63, 62, 8},
                             {76, 61, 134, 13},
                             {11, 87, 62, 8},
                             {76, 85, 134, 14},
                             {11, 112, 62, 8},
                             {76, 110, 134, 14},
                             {11, 132, 96, 10},
                             {11, 152, 62, 8},
                             {76, 150, 134, 14},
                             {61, 120 + kRows, 50, 18},
                             {119, 120 + kRows, 50, 18},
                             230,
                             145 + kRows};
constexpr tagLayout kChinese{{11, 11, 96, 10},
                             {11, 38, 60, 8},
                             {72, 36, 138, 13},
                             {11, 63, 60, 8},
                             {72, 61, 138, 13},
                             {11, 87, 60, 8},
                             {72, 85, 138, 14},
                             {11, 112, 60, 8},
                             {72, 110, 138, 14},
                             {11, 132, 96, 10},
                             {11, 152, 60, 8},
                             {72, 150, 138, 14},
                             {61, 118 + kRows, 50, 18},
                             {119, 118 + kRows, 50, 18},
                             230,
                             145 + kRows};

} // namespace

CTriggerSettingDlg::CTriggerSettingDlg(QWidget* parent) : QDialog(parent) {
    const bool chinese = QLocale().language() == QLocale::Chinese;
    const tagLayout& layout = chinese ? kChinese : kEnglish;
    setWindowTitle(tr("Trigger Setting"));
    setFont(g_DialogFont(chinese));
    const CDialogUnits units(font());
    auto place = [&](QWidget* widget, const tagDluRect& rect, int id) {
        widget->setGeometry(units.ToPixels(rect));
        if (id) {
            widget->setObjectName(QString::number(id));
        }
    };
    m_enableBox = new QCheckBox(tr("Trigger Enable"), this);
    place(m_enableBox, layout.enable, IDC_ENABLE);
    place(new QLabel(tr("Trigger Channel:"), this), layout.channelLabel, 0);
    m_channelList = new QComboBox(this);
    place(m_channelList, layout.channel, IDC_CHANNEL);
    place(new QLabel(tr("Trigger condition:"), this), layout.conditionLabel, 0);
    m_conditionList = new QComboBox(this);
    place(m_conditionList, layout.condition, IDC_CONDITION);
    place(new QLabel(tr("Trigger Value:"), this), layout.valueLabel, 0);
    m_valueEdit = new QLineEdit(this);
    place(m_valueEdit, layout.value, IDC_VALUE);
    place(new QLabel(LoadStringById(IDS_PRE_TRIGGER), this), layout.preLabel, 0);
    m_preTrigger = new QSpinBox(this);
    m_preTrigger->setObjectName("preTrigger");
    m_preTrigger->setRange(0, kMaxPreTriggerMs);
    m_preTrigger->setGroupSeparatorShown(false);
    place(m_preTrigger, layout.pre, 0);
    m_repeatBox = new QCheckBox(LoadStringById(IDS_TRIGGER_REPEAT), this);
    m_repeatBox->setObjectName("repeat");
    place(m_repeatBox, layout.repeat, 0);
    place(new QLabel(LoadStringById(IDS_POST_TRIGGER), this), layout.postLabel, 0);
    m_postTrigger = new QSpinBox(this);
    m_postTrigger->setObjectName("postTrigger");
    m_postTrigger->setRange(static_cast<int>(kMinPostTriggerMs), static_cast<int>(kMaxPostTriggerMs));
    place(m_postTrigger, layout.post, 0);
    auto* ok = new QPushButton(tr("OK"), this);
    ok->setDefault(true);
    place(ok, layout.ok, 0);
    auto* cancel = new QPushButton(tr("Cancel"), this);
    place(cancel, layout.cancel, 0);
    setFixedSize(units.X(layout.width), units.Y(layout.height));

    connect(m_enableBox, &QCheckBox::clicked, this, &CTriggerSettingDlg::OnTriggerEnable);
    connect(m_repeatBox, &QCheckBox::clicked, this, &CTriggerSettingDlg::EnableFields);
    connect(ok, &QPushButton::clicked, this, &CTriggerSettingDlg::OnOK);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

int CTriggerSettingDlg::exec() {
    OnInitDialog();
    return QDialog::exec();
}

void CTriggerSettingDlg::OnInitDialog() {
    m_conditionList->clear();
    // In condition code order: greater, equal, less, at least, at most.
    m_conditionList->addItems({QStringLiteral("\uFF1E"), QStringLiteral("\uFF1D"), QStringLiteral("\uFF1C"),
                               QStringLiteral("\u2265"), QStringLiteral("\u2264")});
    // The symbols are a few strokes each: larger than the dialog's text, in points, so that they
    // stay readable at any density (the list a little more than the box, which has to fit its row).
    QFont symbols = font();
    symbols.setPointSizeF(font().pointSizeF() * 1.3);
    symbols.setBold(true);
    m_conditionList->setFont(symbols);
    symbols.setPointSizeF(font().pointSizeF() * 1.6);
    m_conditionList->view()->setFont(symbols);
    m_channelList->clear();
    m_channelList->addItems(m_channelNames);
    m_enableBox->setChecked(m_enable != 0);
    m_valueEdit->setText(m_value);
    m_channelList->setCurrentIndex(
        static_cast<int>(m_channel) < m_channelList->count() ? static_cast<int>(m_channel) : -1);
    m_conditionList->setCurrentIndex(m_condition < 5 ? static_cast<int>(m_condition) : -1);
    m_preTrigger->setValue(static_cast<int>(m_preTriggerMs));
    m_repeatBox->setChecked(m_repeat);
    m_postTrigger->setValue(static_cast<int>(m_postTriggerMs));
    EnableFields();
}

void CTriggerSettingDlg::OnTriggerEnable() {
    EnableFields();
}

void CTriggerSettingDlg::EnableFields() {
    const bool on = m_enableBox->isChecked();
    m_channelList->setEnabled(on);
    m_conditionList->setEnabled(on);
    m_valueEdit->setEnabled(on);
    m_preTrigger->setEnabled(on);
    m_repeatBox->setEnabled(on);
    m_postTrigger->setEnabled(on && m_repeatBox->isChecked());
}

void CTriggerSettingDlg::OnOK() {
    m_enable = m_enableBox->isChecked() ? 1 : 0;
    m_channel = static_cast<uint32_t>(std::max(0, m_channelList->currentIndex()));
    m_condition = static_cast<uint32_t>(std::max(0, m_conditionList->currentIndex()));
    m_value = m_valueEdit->text();
    m_preTriggerMs = static_cast<uint32_t>(m_preTrigger->value());
    m_repeat = m_repeatBox->isChecked();
    m_postTriggerMs = static_cast<uint32_t>(m_postTrigger->value());
    accept();
}

bool CTriggerSettingDlg::Edit(tagTriggerDialogFields& fields) {
    for (const std::string& name : fields.channelNames) {
        m_channelNames << QString::fromStdString(name);
    }
    m_enable = fields.enable;
    m_channel = fields.channel;
    m_condition = fields.condition;
    m_value = QString::fromStdString(fields.valueText);
    m_preTriggerMs = fields.preTriggerMs;
    m_repeat = fields.repeat;
    m_postTriggerMs = fields.postTriggerMs;
    if (exec() != QDialog::Accepted) {
        return false;
    }
    fields.enable = m_enable;
    fields.channel = m_channel;
    fields.condition = m_condition;
    fields.valueText = m_value.toStdString();
    fields.preTriggerMs = m_preTriggerMs;
    fields.repeat = m_repeat;
    fields.postTriggerMs = m_postTriggerMs;
    return true;
}
