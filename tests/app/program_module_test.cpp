#include "app/core/svg_writer.h"
#include "platform/core/program_module.h"
#include "platform/qt/print_dialog.h"
#include "support/test_main.h"

#include <QPainter>
#include <QXmlStreamReader>

using namespace tessik;
using namespace tessik::test;

// The module, the function looked up in it, and whether it is found.
using Lookup = std::tuple<QString, QByteArray, bool>;

// The modules that hold the program's SVG writer and print dialog, loaded on first use.
class ProgramModuleTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void lookup_data()
    {
        addRows<Lookup>({
            {"the SVG writer", {kSvgModule, kSvgWriterFunction, true}},
            {"the print dialog", {kPrintModule, kPrintPageFunction, true}},
            {"a module that is not there", {"tessik_nothing", kSvgWriterFunction, false}},
            {"a function the module lacks", {kSvgModule, "tessikNothing", false}},
        });
    }
    void lookup()
    {
        QFETCH(Lookup, row);
        const auto [module, function, expected] = row;
        if (module != kSvgModule && module != kPrintModule) // says why it could not be loaded
            QTest::ignoreMessage(QtWarningMsg, QRegularExpression(".*"));
        const bool found = programModuleFunction(module, function.constData()) != nullptr;
        QVERIFY2(found == expected, found ? "found what is not there" : "the module's function was not found");
    }

    // The picture is written in its own frame, with what the painting drew; a title or description
    // that looks like markup, or holds characters XML cannot, still reads back.
    void svgDocumentHoldsThePaintingAndItsTexts()
    {
        const QString title = QStringLiteral("Tank <3> & \"pump\"\x01"), description = QStringLiteral("</desc>");
        const std::optional<QByteArray> svg = svgDocument(
            {QSize(40, 30), title, description}, [](QPainter &painter) { painter.fillRect(5, 5, 10, 10, Qt::red); });
        QVERIFY2(svg.has_value(), "no SVG document was made");
        for (const char *part : {"viewBox=\"0 0 40 30\"", "<rect x=\"5\" y=\"5\" width=\"10\" height=\"10\"/>"})
            QVERIFY2(svg->contains(part), qPrintable(QString::fromUtf8(part) + " is not in:\n" + *svg));
        QXmlStreamReader reader(*svg);
        QStringList texts;
        while (reader.readNextStartElement())
            if (reader.name() == u"title" || reader.name() == u"desc")
                texts << reader.readElementText();
            else if (reader.name() != u"svg")
                reader.skipCurrentElement();
        QVERIFY2(!reader.hasError(), qPrintable("the SVG does not read: " + reader.errorString()));
        QCOMPARE(texts, QStringList({QStringLiteral("Tank <3> & \"pump\"\u2401"), description}));
    }
};

TESSIK_TEST(ProgramModuleTest)
#include "program_module_test.moc"
