#include <QTest>
class TestPriceList : public QObject {
    Q_OBJECT
};
QTEST_MAIN(TestPriceList)
#include "tst_pricelist.moc"
