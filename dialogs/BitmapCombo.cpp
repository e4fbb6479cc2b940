#include "BitmapCombo.h"

#include "CISBitmap.h"

#include <QAbstractItemView>
#include <QPainter>
#include <QStyleOptionComboBox>
#include <QStylePainter>
#include <QStyledItemDelegate>

namespace {

constexpr int kExtraHeight = 6;
constexpr int kBitmapLeft = 2;
constexpr int kTextGap = 4;

const CCISBitmap* BitmapOf(const QComboBox& combo, int index) {
    if (index < 0 || index >= combo.count()) {
        return nullptr;
    }
    return reinterpret_cast<const CCISBitmap*>(combo.itemData(index).value<quintptr>());
}

// The popup's items are painted by the list itself.
class CBitmapItemDelegate : public QStyledItemDelegate {
public:
    explicit CBitmapItemDelegate(CBitmapCombo* combo) : QStyledItemDelegate(combo), m_combo(combo) {}

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        const int width = QStyledItemDelegate::sizeHint(option, index).width() + m_combo->ItemHeight();
        return {width, m_combo->ItemHeight() > 0 ? m_combo->ItemHeight() : m_combo->MeasureItem().height()};
    }
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        m_combo->DrawItem(*painter, option.rect, index.row(), (option.state & QStyle::State_Selected) != 0,
                          (option.state & QStyle::State_HasFocus) != 0);
    }

private:
    CBitmapCombo* m_combo;
};

} // namespace

CBitmapCombo::CBitmapCombo(QWidget* parent) : QComboBox(parent) {
    setItemDelegate(new CBitmapItemDelegate(this));
}

int CBitmapCombo::InsertItem(int index, const CCISBitmap* bitmap, const QString& text) {
    if (index < 0 || index > count()) {
        index = count();
    }
    insertItem(index, text, QVariant::fromValue(reinterpret_cast<quintptr>(bitmap)));
    if (bitmap) {
        UpdateItemSize(bitmap->Width(), bitmap->Height());
    }
    return index;
}

int CBitmapCombo::AddItem(const CCISBitmap* bitmap, const QString& text) {
    return InsertItem(count(), bitmap, text);
}

void CBitmapCombo::UpdateItemSize(int width, int height) {
    m_largestWidth = std::max(m_largestWidth, width);
    m_largestHeight = std::max(m_largestHeight, height);
    m_itemHeight = m_largestHeight + kExtraHeight;
    // The selection field is one item high inside the frame.
    QStyleOptionComboBox option;
    initStyleOption(&option);
    const int frame = style()->pixelMetric(QStyle::PM_ComboBoxFrameWidth, &option, this);
    setFixedHeight(m_itemHeight + 2 * frame);
    view()->doItemsLayout();
}

void CBitmapCombo::showPopup() {
    emit DropDown();
    QComboBox::showPopup();
}

void CBitmapCombo::DrawItem(QPainter& painter, const QRect& rect, int index, bool selected,
                            bool focus) const {
    painter.save();
    const QString text = index >= 0 && index < count() ? itemText(index) : QString();
    if (!isEnabled()) {
        // The disabled look: grey text, never highlighted, the background as it is.
        painter.setPen(palette().color(QPalette::Disabled, QPalette::Text));
        DrawContent(painter, rect, index, text);
        painter.restore();
        return;
    }
    const QPalette::ColorRole fill = selected ? QPalette::Highlight : QPalette::Base;
    const QPalette::ColorRole ink = selected ? QPalette::HighlightedText : QPalette::Text;
    painter.fillRect(rect, palette().color(fill));
    painter.setPen(QPen(palette().color(fill), 1));
    painter.drawRect(rect.adjusted(0, 0, -1, -1));
    painter.setPen(palette().color(ink));
    DrawContent(painter, rect, index, text);
    if (focus) {
        QStyleOptionFocusRect frame;
        frame.rect = rect;
        frame.palette = palette();
        frame.backgroundColor = palette().color(fill);
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &frame, &painter, this);
    }
    painter.restore();
}

void CBitmapCombo::DrawContent(QPainter& painter, const QRect& rect, int index, const QString& text) const {
    const CCISBitmap* bitmap = BitmapOf(*this, index);
    if (!bitmap || bitmap->IsNull()) {
        return;
    }
    if (text.isEmpty()) {
        bitmap->DrawTransparent(painter, rect.left() + (rect.width() / 2 - bitmap->Width() / 2),
                                rect.top() + (rect.height() / 2 - bitmap->Height() / 2), kTransparent);
        return;
    }
    bitmap->DrawTransparent(painter, rect.left() + kBitmapLeft,
                            rect.top() + (rect.height() / 2 - m_largestHeight / 2), kTransparent);
    QRect textRect = rect;
    textRect.setLeft(rect.left() + m_largestWidth + kTextGap);
    painter.drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, text);
}

void CBitmapCombo::paintEvent(QPaintEvent*) {
    QStylePainter painter(this);
    QStyleOptionComboBox option;
    initStyleOption(&option);
    option.currentText.clear();
    option.currentIcon = QIcon();
    painter.drawComplexControl(QStyle::CC_ComboBox, option);
    const QRect field =
        style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, this);
    DrawItem(painter, field, currentIndex(), hasFocus(), false);
}
