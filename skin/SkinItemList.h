#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

class QPainter;

namespace vocamo {

class CContactItem;
class CSkinItem;

// Every element of the main window in z-order. The list owns its elements;
// pointers handed out stay valid until the element is removed.
class CSkinItemList {
public:
    CSkinItemList();
    virtual ~CSkinItemList();
    CSkinItemList(const CSkinItemList &) = delete;
    CSkinItemList &operator=(const CSkinItemList &) = delete;

    // Inserts before the first element of a greater z-order, so an element
    // added later with the same z-order is painted after the earlier ones.
    // Null is ignored. Returns the element.
    template <class T> T *Add(std::unique_ptr<T> item)
    {
        T *raw = item.get();
        Insert(std::unique_ptr<CSkinItem>(std::move(item)));
        return raw;
    }
    // Inserts right after `after`, an element of the same z-order, or
    // without it before every element of its z-order: a row put into the
    // middle of its list is laid out and painted in the list's order.
    template <class T> T *AddAfter(const CSkinItem *after, std::unique_ptr<T> item)
    {
        T *raw = item.get();
        InsertAfter(after, std::unique_ptr<CSkinItem>(std::move(item)));
        return raw;
    }
    // Removes and destroys the element; false when it is not in the list.
    bool Remove(const CSkinItem *item);

    // The topmost shown element whose picture, text or whole box holds the
    // point, a contact row anywhere across the list's width; the two
    // backgrounds are never hit.
    CSkinItem *HitTest(int x, int y) const;
    void SetHiddenByKind(int kind, bool hidden);
    // Removes and destroys every element of the kind; returns how many.
    std::size_t RemoveByKind(int kind);
    // Shows the contact rows of the kind whose name equals text byte for
    // byte and hides the others; returns the frontmost match or null.
    CContactItem *ShowMatchingText(int kind, const std::string &text);
    // Lays out every element, front to back, so rows follow rows laid out before.
    void LayoutAll();
    // Paints every shown element in z-order with its dimming and text variant.
    void Paint(QPainter &painter) const;

    // The first element of the kind, or null.
    CSkinItem *FindByKind(int kind) const;
    bool Contains(const CSkinItem *item) const;
    std::size_t GetCount() const { return m_items.size(); }
    CSkinItem *GetAt(std::size_t index) const { return m_items.at(index).get(); }

private:
    void Insert(std::unique_ptr<CSkinItem> item);
    void InsertAfter(const CSkinItem *after, std::unique_ptr<CSkinItem> item);

    std::vector<std::unique_ptr<CSkinItem>> m_items;
};

} // namespace vocamo
