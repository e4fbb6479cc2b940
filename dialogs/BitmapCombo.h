// A drop-down list whose items show a small bitmap before their text. Items take the height of
// the tallest bitmap so far plus 6 pixels, texts start 4 pixels right of the widest. The list does
// not own the bitmaps: whoever adds them keeps them alive while the list exists.
#pragma once

#include <QComboBox>
#include <QSize>

class CCISBitmap;

class CBitmapCombo : public QComboBox {
    Q_OBJECT
public:
    static constexpr QRgb kTransparent = 0xFF00FF; // magenta

    explicit CBitmapCombo(QWidget* parent = nullptr);

    // The index of the new item; the text goes in at index (at the end when index is out of range).
    int InsertItem(int index, const CCISBitmap* bitmap, const QString& text);
    int AddItem(const CCISBitmap* bitmap, const QString& text);
    // Widens the largest bitmap size and gives the selection field and every item its height.
    void UpdateItemSize(int width, int height);
    // What an item asks for before the next UpdateItemSize.
    QSize MeasureItem() const { return {m_largestWidth + 2, m_largestHeight + 2}; }
    int ItemHeight() const { return m_itemHeight; }

    // Paints item index into rect: the background by state, then bitmap and text. An index of -1
    // is the selection field with nothing selected.
    void DrawItem(QPainter& painter, const QRect& rect, int index, bool selected, bool focus) const;

    // Emitted before the list drops down, so that its owner can fill it again.
    Q_SIGNAL void DropDown();

    void showPopup() override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void DrawContent(QPainter& painter, const QRect& rect, int index, const QString& text) const;

    int m_largestWidth = 0;
    int m_largestHeight = 0;
    int m_itemHeight = 0;
};
