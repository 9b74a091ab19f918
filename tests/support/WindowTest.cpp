#include "WindowTest.h"

#include "platform/data/Table.h"
#include "platform/ui/DBGrid.h"
#include "platform/ui/Form.h"

void WindowTest::SetUp()
{
    db_ = std::make_unique<TempDatabase>();
    if (make_ == Make::DatabaseOnly)
        return;
    app = std::make_unique<ui::Application>();
    app->setTitle(QStringLiteral("TORAMBU KESTI"));
    app->createForm(mainForm);
    // Not owned by the application, so a test may load it again.
    FDM = new TFDM();
}

void WindowTest::TearDown()
{
    clearModalSteps();
    app.reset();
    delete FDM;
    FDM = nullptr;
    db_.reset();
}

void WindowTest::inWindow(ui::Form* form, std::function<void()> steps)
{
    whileModal([form, steps] {
        steps();
        if (form->isVisible())
            form->closeForm();
    });
    form->showModal();
}

void WindowTest::addItem(const QString& code, const QString& name, const QString& stock,
                         const QString& reorder, const QString& unit)
{
    db().exec(QStringLiteral("INSERT INTO Barang VALUES ('%1', '%2', %3, %4, '%5')")
                  .arg(code, name, stock, reorder, unit));
    if (FDM)
        FDM->TBarang->refresh();
}

QString WindowTest::stored(const QString& code) const
{
    return db_->scalar(QStringLiteral("SELECT KdBrg || '|' || NamaBrg || '|' || ifnull(Stock, '') || '|' || "
                                      "Reorder || '|' || Satuan FROM Barang WHERE KdBrg = '%1'")
                           .arg(code));
}

int WindowTest::rowCount(const QString& table) const
{
    return db_->scalar(QStringLiteral("SELECT count(*) FROM %1").arg(table)).toInt();
}

QStringList WindowTest::gridRows(ui::DBGrid* grid)
{
    QStringList rows;
    for (int r = 0; r < grid->rowCount(); ++r) {
        QStringList cells;
        for (int c = 0; c < grid->columnCount(); ++c)
            cells << grid->cellText(r, c);
        rows << cells.join(QLatin1Char('|'));
    }
    return rows;
}

QString WindowTest::gridCurrent(ui::DBGrid* grid)
{
    const int r = grid->currentRow();
    return r < 0 ? QString() : grid->cellText(r, 0);
}
