// Arbitrary bytes go to the document reader (parse and check only, nothing is applied). A text
// it accepts must keep every promise the loader relies on, and must survive a write and a
// second read unchanged.
#include "workspace/graph_document.h"
#include "workspace/point_series.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

using namespace linoveta;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char *>(data), size);
    const DocumentReadResult r = GraphDocumentCodec::Read(text);
    if (r.status == DocumentReadStatus::Empty && size != 0)
        std::abort();
    if (r.status != DocumentReadStatus::Ok)
        return 0;

    const GraphDocument &doc = r.document;
    for (const std::string &line : doc.lines)
        for (char c : line)
            if (c < 0x20 || c >= 0x7F || c == 'B')
                std::abort();  // a control character would reach the key handler
    if (doc.points.size() > kMaxDocumentPoints)
        std::abort();
    for (const DocumentPoint &p : doc.points)
        if (!PointFitsEveryOrder(p.x, p.y))
            std::abort();
    if (doc.order < 2 || doc.order > 10)
        std::abort();

    // What we write we read back, and writing again gives the same bytes.
    const std::string bytes = GraphDocumentCodec::Write(doc);
    const DocumentReadResult again = GraphDocumentCodec::Read(bytes);
    if (again.status != DocumentReadStatus::Ok || again.document.lines != doc.lines ||
        again.document.linear != doc.linear || again.document.order != doc.order ||
        again.document.points.size() != doc.points.size() ||
        GraphDocumentCodec::Write(again.document) != bytes)
        std::abort();
    return 0;
}
