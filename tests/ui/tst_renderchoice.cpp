#include "renderchoice.h"

#include <QtTest>

// The software renderer is chosen where OpenGL draws on the processor, unless the user named a
// backend.
class TestRenderChoice : public QObject
{
    Q_OBJECT
private slots:
    void backendFor_data();
    void backendFor();
};

void TestRenderChoice::backendFor_data()
{
    QTest::addColumn<QByteArray>("user");
    QTest::addColumn<bool>("glAvailable");
    QTest::addColumn<QString>("renderer");
    QTest::addColumn<QString>("backend");

    const QString software = QStringLiteral("software");
    QTest::newRow("llvmpipe") << QByteArray() << true << "llvmpipe (LLVM 15.0.6, 256 bits)"
                              << software;
    QTest::newRow("softpipe") << QByteArray() << true << "softpipe" << software;
    QTest::newRow("swrast") << QByteArray() << true << "Mesa swrast" << software;
    QTest::newRow("classic swrast") << QByteArray() << true << "Software Rasterizer" << software;
    QTest::newRow("case") << QByteArray() << true << "LLVMPIPE" << software;
    QTest::newRow("no OpenGL") << QByteArray() << false << QString() << software;
    QTest::newRow("hardware") << QByteArray() << true << "Mesa Intel(R) UHD Graphics 620 (KBL GT2)"
                              << QString();
    QTest::newRow("vendor driver")
        << QByteArray() << true << "NVIDIA GeForce GTX 1050/PCIe/SSE2" << QString();
    QTest::newRow("virtual GPU") << QByteArray() << true << "virgl" << QString();
    QTest::newRow("user's software") << QByteArray("software") << true << "llvmpipe" << QString();
    QTest::newRow("user's OpenGL") << QByteArray("opengl") << true << "llvmpipe" << QString();
    QTest::newRow("user's, no OpenGL") << QByteArray("rhi") << false << QString() << QString();
    QTest::newRow("blank is none") << QByteArray("  ") << true << "llvmpipe" << software;
}

void TestRenderChoice::backendFor()
{
    QFETCH(QByteArray, user);
    QFETCH(bool, glAvailable);
    QFETCH(QString, renderer);
    QFETCH(QString, backend);
    QCOMPARE(RenderChoice::backendFor(user, glAvailable, renderer), backend);
    if (glAvailable)
        QCOMPARE(RenderChoice::isSoftwareRasteriser(renderer),
                 renderer.contains("pipe", Qt::CaseInsensitive) ||
                     renderer.contains("rast", Qt::CaseInsensitive));
}

QTEST_GUILESS_MAIN(TestRenderChoice)
#include "tst_renderchoice.moc"
