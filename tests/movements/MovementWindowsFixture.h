#pragma once

#include "DataModuleFixture.h"
#include "DialogScript.h"
#include "UiDriver.h"

#include "movements/UFPP.h"
#include "movements/UPck.h"
#include "movements/UQrPacking.h"
#include "platform/rtl/Clock.h"
#include "platform/ui/Application.h"
#include "platform/ui/DBGrid.h"

#include <QStringList>
#include <functional>
#include <memory>

// The data module on a fresh database, an application with a main window,
// both movement windows and the issue note, as the start-up makes them; the
// clock stands at 25/03/2005.
class MovementWindowsFixture : public DataModuleFixture {
protected:
    struct FixedClock : rtl::Clock {
        QDateTime at{QDate(2005, 3, 25), QTime(10, 0)};
        QDateTime now() const override { return at; }
    };

    void SetUp() override
    {
        DataModuleFixture::SetUp();
        rtl::Clock::install(&clock);
        app = std::make_unique<ui::Application>();
        app->setTitle(QStringLiteral("TORAMBU KESTI"));
        app->createForm(mainForm);
        app->createForm(FMasuk);
        app->createForm(FKeluar);
        app->createForm(QrKeluar);
    }
    void TearDown() override
    {
        clearModalSteps();
        movements::ItemSearchWindow = nullptr;
        app.reset();
        rtl::Clock::install(nullptr);
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
    QString stock(const QString& code)
    {
        return db().scalar(QStringLiteral("SELECT ifnull(Stock, 'NULL') FROM Barang WHERE KdBrg = '%1'").arg(code));
    }
    // Rows of a stored table, "a|b|c" each, in storage order.
    QStringList rows(const QString& sql)
    {
        QStringList out;
        const int n = db().scalar(QStringLiteral("SELECT count(*) FROM (%1)").arg(sql)).toInt();
        for (int i = 0; i < n; ++i)
            out << db().scalar(QStringLiteral("SELECT * FROM (%1) LIMIT 1 OFFSET %2").arg(sql).arg(i));
        return out;
    }

    static QStringList gridRows(ui::DBGrid* grid)
    {
        QStringList out;
        for (int r = 0; r < grid->rowCount(); ++r) {
            QStringList cells;
            for (int c = 0; c < grid->columnCount(); ++c)
                cells << grid->cellText(r, c);
            out << cells.join(QLatin1Char('|'));
        }
        return out;
    }

    // Enabled states of the given controls as "1"/"0" in order.
    static QString enabled(std::initializer_list<QWidget*> controls)
    {
        QString s;
        for (QWidget* c : controls)
            s += c->isEnabled() ? QLatin1Char('1') : QLatin1Char('0');
        return s;
    }

    FixedClock clock;
    std::unique_ptr<ui::Application> app;
    ui::Form* mainForm = nullptr;
    DialogScript dialogs;
};
