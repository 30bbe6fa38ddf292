// The tournament plan as spreadsheets and planners write it: the games read from real files, the lines
// telling what is wrong with a plan, cells written and read back, and the limits of a plan file.
#include "core/tournament/plan.h"

#include <QTemporaryDir>
#include <QTest>

class TestPlan : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void reading_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        // A good plan as its delimiter, TextEncoding's number, whether it has Beginn and Feld, then each game
        // as line/nr/start/field/home/away/seconds; a bad plan as its error lines.
        QTest::addColumn<QString>("read");
        const QByteArray h = "Nr;Beginn;Heim;Gast;Spielzeit\n";
        const auto bad = [&h](const char *name, const QByteArray &rows, const QString &errors) {
            QTest::newRow(name) << h + rows << errors;
        };
        QByteArray many = h; // 1001 games, then a row never read
        for (int nr = 1; nr <= 1001; ++nr)
            many += QByteArray::number(nr) + ";;A;B;10\n";
        const QString e
            = u"p:%1: Nr ist leer\np:%1: Heim ist leer\np:%1: Gast ist leer\np:%1: Spielzeit ist leer\n"_qs;

        // Files as spreadsheets and planners write them.
        QTest::newRow("spreadsheet")
            << "\xef\xbb\xbf;;;\r\nNr;Beginn;Feld;Heim;Gast;Spielzeit\r\n;;;;;\r\n"
               "1; 9:05 ;A;Köln;Jena;10\r\n\r\n2;;B;Düren;Aue;90:00\r\n3;23:59;;x;y;24:59:59\r\n"_qba
            << u";1|4/1/09:05/A/Köln/Jena/600|6/2//B/Düren/Aue/5400|7/3/23:59//x/y/89999"_qs;
        QTest::newRow("planner")
            << "NO, start, HOME, Away, Notes, DURATION\n7,10:30,\"Eintracht, Trier\",\"Die \"\"Alten\"\"\",x,"
               "1:00:00\n8,,\"Zwei\nZeilen\",B,,45\n9,,C,D,,0:01\n"_qba
            << u",0|2/7/10:30//Eintracht, Trier/Die \"Alten\"/3600|3/8///Zwei\nZeilen/B/2700|5/9///C/D/1"_qs;
        QTest::newRow("tab, Windows-1252")
            << "\r\nSpiel\tUhrzeit\tField\tTeam 1\tTeam 2\tSpielzeit\r\n1\t08:00\t3\tM\xfcnchen\tTV \"\x80uro\"\t7:30\r\n"_qba
            << u"\t2|3/1/08:00/3/München/TV \"€uro\"/450"_qs;

        // Plans with something wrong, one kind each.
        QTest::newRow("columns") << "Nr;Mannschaft 1;mannschaft 2\n1;A;B\n"_qba
                                 << u"p:1: Spalte „Spielzeit“ fehlt"_qs;
        bad("no time", "1;;A;B;10:60\n2;;C;D;0:00:01:00\n",
            u"p:2: Spielzeit „10:60“ ist keine Zeit (MM:SS)\np:3: Spielzeit „0:00:01:00“ ist keine Zeit (MM:SS)"_qs);
        bad("time 0", "1;;A;B;0:00\n", u"p:2: Spielzeit „0:00“ ist 0"_qs);
        bad("long", "1;;A;B;1500:00\n", u"p:2: Spielzeit „1500:00“ ist länger als 24:59:59"_qs);
        bad("cut short; forty whole",
            "1;" + QByteArray(40, '9') + ";A;B;1\xC2\xA0" + QByteArray(37, 'x') + "\xF0\x9F\x98\x80yz\n",
            u"p:2: Beginn „%1“ ist keine Uhrzeit (HH:MM)\np:2: Spielzeit „1 %2…“ ist keine Zeit (MM:SS)"_qs
                .arg(QString(40, u'9'), QString(37, u'x')));
        for (const char *start : { "24:00", "9:60", "a:30", ":30", "9:5", "12" }) // no time of day
            bad(start, "1;" + QByteArray(start) + ";A;B;10\n",
                u"p:2: Beginn „%1“ ist keine Uhrzeit (HH:MM)"_qs.arg(QLatin1String(start)));
        bad("nr twice", "7;;A;B;10\n\n7 ;;C;D;10\n", u"p:4: Nr „7“ gibt es schon (Zeile 2)"_qs);
        bad("quote", "1;;A;B;10\n2;;A;B;\"10\n", u"p:3: Anführungszeichen nicht geschlossen"_qs);
        bad("header only", "", u"p:1: keine Spiele"_qs);
        QTest::newRow("empty file") << QByteArray() << u"p:1: keine Spiele"_qs;
        bad("ten lines", "; ;;;\n; ;;;\n; ;;;\n", (e.arg(2) + e.arg(3) + e.arg(4)).section(u'\n', 0, 9));
        QTest::newRow("1001 games") << many + "x;;;;\n" << u"p:1002: mehr als 1000 Spiele"_qs;
    }
    void reading()
    {
        QFETCH(QByteArray, bytes);
        const auto [plan, errors] = readPlan(bytes, u"p"_qs);
        QString read = plan.delimiter + QString::number(int(plan.encoding));
        for (const PlannedGame &g : plan.games)
            read += u"|%1/%2/%3/%4/%5/%6/%7"_qs.arg(QString::number(g.line), g.nr,
                g.start.value_or(QTime()).toString(u"HH:mm"), g.field, g.home, g.away,
                QString::number(g.seconds));
        QTEST(errors.isEmpty() ? read : errors.join(u'\n'), "read");
    }

    void writingAndFiles()
    {
        // Cells written and read back, Windows-1252 both ways.
        const QStringList cells { u"a;b,c\td"_qs, u"say \"hi\""_qs, u"x\r\ny\n"_qs, u" \r"_qs, QString() };
        for (const QChar d : { u';', u',', u'\t' })
            QCOMPARE(Csv::read(Csv::line(cells, d).repeated(2), d).value(1).cells, cells);
        // Ties go to ";", tabs in quotes not counted.
        QCOMPARE(
            QString(Csv::detectDelimiter(u"\n\"x\t\t\"a;b,c")) + Csv::detectDelimiter(u"a\tb,c"), u";;"_qs);
        QCOMPARE(
            Csv::line({ u"a,b"_qs, u"\""_qs, u"\r"_qs, u"c d"_qs }, u';'), u"a,b;\"\"\"\";\"\r\";c d\r\n"_qs);
        const QByteArray high
            = QByteArray::fromHex("808182838485868788898a8b8c8d8e8f909192939495969798999a9b9c9d9e9fa0ff");
        const QString table = u"€\u0081‚ƒ„…†‡ˆ‰Š‹Œ\u008dŽ\u008f\u0090‘’“”•–—˜™š›œ\u009džŸ\u00a0ÿ"_qs;
        QCOMPARE(Csv::decode(high, nullptr), table);
        QCOMPARE(Csv::encode(table + u"ü✓\u0080😀"_qs, TextEncoding::Windows1252), high + "\xfc???");
        QCOMPARE(Csv::encode(u"ü"_qs, TextEncoding::Utf8WithBom), "\xef\xbb\xbf\xc3\xbc"_qba);

        // A plan file up to 1 MiB, also from a device that tells no size, as the program gets them.
        QTemporaryDir dir;
        QFile file(dir.filePath(u"plan.csv"_qs));
        QVERIFY(file.open(QIODevice::WriteOnly) && file.resize(Plan::maxBytes + 1));
        QCOMPARE(readPlanFile(file.fileName()).errors.join(u'\n'), u"plan.csv: größer als 1 MiB"_qs);
        QVERIFY(file.resize(Plan::maxBytes));
        QCOMPARE(readPlanFile(file.fileName()).errors.value(0), u"plan.csv:1: Spalte „Nr“ fehlt"_qs);
        QCOMPARE(readPlanFile(u"/dev/zero"_qs).errors.join(u'\n'), u"zero: größer als 1 MiB"_qs);
    }
};

QTEST_GUILESS_MAIN(TestPlan)
#include "tst_plan.moc"
