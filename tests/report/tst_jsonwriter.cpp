// The JSON writer lays documents out exactly as QJsonDocument does, so that
// the reports stay byte for byte what scripts read (lone surrogates, which
// Qt escapes and jq refuses, are left to tst_reportformats' hostile list).

#include "report/jsonwriter.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QtTest>

class TestJsonWriter : public QObject
{
    Q_OBJECT

private slots:
    void laidOutAsQtLaysItOut_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("plain") << "Quorix 10.3 Server Patch 3";
        QTest::newRow("quotes and backslashes") << "C:\\Program Files\\\"Quorix\"";
        QTest::newRow("control characters") << QString::fromUtf16(u"a\u0001\b\f\n\r\t\u001f\u007f");
        QTest::newRow("two and three byte UTF-8") << QString::fromUtf16(u"Größe \u20ac \u202e");
        QTest::newRow("surrogate pair") << QString::fromUtf16(u"\U0001F600");
        QTest::newRow("empty") << QString();
    }
    void laidOutAsQtLaysItOut()
    {
        QFETCH(QString, text);
        const QJsonObject object{{"a", text},
                                 {"b", QJsonArray{1, true, QJsonValue()}},
                                 {"c", QJsonArray{}},
                                 {"d", QJsonObject{{"e", qint64(1) << 40}}}};
        for (const auto layout : {JsonWriter::Layout::Compact, JsonWriter::Layout::Indented}) {
            QByteArray out;
            JsonWriter json(out, layout);
            json.beginObject();
            json.member("a", text);
            json.key("b").beginArray();
            json.value(1);
            json.value(true);
            json.null();
            json.endArray();
            json.key("c").beginArray();
            json.endArray();
            json.key("d").beginObject();
            json.member("e", qint64(1) << 40);
            json.endObject();
            json.endObject();
            QCOMPARE(out, QJsonDocument(object).toJson(layout == JsonWriter::Layout::Compact
                                                           ? QJsonDocument::Compact
                                                           : QJsonDocument::Indented));
        }
    }
    // A strict reader refuses a lone surrogate; the list may hold any.
    void loneSurrogatesShownAsReplacement_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("written");
        const QChar high(0xd800), low(0xdfff);
        QTest::newRow("high, then text") << QString(high) + 'y' << QByteArray(R"("\ufffdy")");
        QTest::newRow("low, after text") << QString('x') + low << QByteArray(R"("x\ufffd")");
        QTest::newRow("low before high: no pair")
            << QString(low) + high << QByteArray(R"("\ufffd\ufffd")");
        QTest::newRow("high at the end") << QString("x") + high << QByteArray(R"("x\ufffd")");
    }
    void loneSurrogatesShownAsReplacement()
    {
        QFETCH(QString, text);
        QFETCH(QByteArray, written);
        QByteArray out;
        JsonWriter json(out, JsonWriter::Layout::Compact);
        json.beginArray();
        json.value(text);
        json.endArray();
        QCOMPARE(out, "[" + written + "]");
    }
};

QTEST_GUILESS_MAIN(TestJsonWriter)
#include "tst_jsonwriter.moc"
