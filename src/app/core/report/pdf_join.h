#pragma once

#include <QByteArray>

#include <optional>

namespace tessik {

// Two PDF documents as one: the first whole (its catalogue, information and pages), then the
// pages of the second after its own. Made for the files Qt's PDF engine writes: one
// cross-reference table, one level of pages, each object found where the table says. A file
// laid out otherwise gives nothing rather than a document that may be damaged.
std::optional<QByteArray> joinPdfs(const QByteArray &first, const QByteArray &second);

} // namespace tessik
