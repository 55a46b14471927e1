#pragma once

#include "app/core/report/pictures.h"

#include <QObject>
#include <QTextObjectInterface>

#include <vector>

namespace tessik {

// Draws the report's pictures where a document's layout places them, on whatever device paints
// it: lines and text in a PDF. A picture is an object of type kType whose format holds the
// picture's index under kIndex.
class PictureObject : public QObject, public QTextObjectInterface {
    Q_OBJECT
    Q_INTERFACES(QTextObjectInterface)

public:
    static constexpr int kType = QTextFormat::UserObject + 1;
    static constexpr int kIndex = QTextFormat::UserProperty + 1;

    PictureObject(std::vector<ReportPicture> pictures, QObject *parent);

    // Fitted to the page's width and most of its height; never larger than its natural size, so
    // that a diagram of two blocks does not fill a page.
    QSizeF intrinsicSize(QTextDocument *doc, int position, const QTextFormat &format) override;
    void drawObject(QPainter *painter, const QRectF &rect, QTextDocument *doc, int position,
                    const QTextFormat &format) override;

private:
    const ReportPicture *pictureOf(const QTextFormat &format) const;

    std::vector<ReportPicture> m_pictures;
};

} // namespace tessik
