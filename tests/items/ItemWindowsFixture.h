#pragma once

#include "DataModuleFixture.h"
#include "DialogScript.h"
#include "UiDriver.h"

#include "items/UEditBrg.h"
#include "items/UIBarang.h"
#include "platform/ui/Application.h"

#include <QStringList>
#include <functional>
#include <memory>

// The data module on a fresh database, an application with a main window and
// the two item windows, as the start-up makes them.
class ItemWindowsFixture : public DataModuleFixture {
protected:
    void SetUp() override
    {
        DataModuleFixture::SetUp();
        app = std::make_unique<ui::Application>();
        app->setTitle(QStringLiteral("TORAMBU KESTI"));
        app->createForm(mainForm);
        app->createForm(FBarang);
        app->createForm(FEditBrg);
    }
    void TearDown() override
    {
        clearModalSteps();
        app.reset();
        DataModuleFixture::TearDown();
    }

    // Opens the window modally and runs the steps inside it; closes it
    // afterwards if the steps left it open.
    static void inWindow(ui::Form* form, std::function<void()> steps)
    {
        whileModal([form, steps] {
            steps();
            if (form->isVisible())
                form->closeForm();
        });
        form->showModal();
    }

    void addItem(const QString& code, const QString& name, const QString& stock, const QString& reorder,
                 const QString& unit)
    {
        db().exec(QStringLiteral("INSERT INTO Barang VALUES ('%1', '%2', %3, %4, '%5')")
                      .arg(code, name, stock, reorder, unit));
        FDM->TBarang->refresh();
    }

    // The stored item, "code|name|stock|reorder|unit" ("" when missing).
    QString stored(const QString& code)
    {
        return db().scalar(QStringLiteral("SELECT KdBrg || '|' || NamaBrg || '|' || ifnull(Stock, '') || '|' || "
                                          "Reorder || '|' || Satuan FROM Barang WHERE KdBrg = '%1'")
                               .arg(code));
    }
    int itemCount() { return db().scalar(QStringLiteral("SELECT count(*) FROM Barang")).toInt(); }

    static QStringList gridRows(ui::DBGrid* grid)
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
    static QString gridCurrent(ui::DBGrid* grid)
    {
        const int r = grid->currentRow();
        return r < 0 ? QString() : grid->cellText(r, 0);
    }

    std::unique_ptr<ui::Application> app;
    ui::Form* mainForm = nullptr;
    DialogScript dialogs;
};
