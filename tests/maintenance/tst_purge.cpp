#include <QTest>
class TestPurge : public QObject {
    Q_OBJECT
};
QTEST_MAIN(TestPurge)
#include "tst_purge.moc"
