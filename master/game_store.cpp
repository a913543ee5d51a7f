#include "master/game_store.h"

#include "core/module1.h"
#include "master/journal.h"

namespace {
const QString Partie = QStringLiteral("partie");

std::optional<QVariantMap> readRecord(const QString &table, QStringList &rows) {
    auto record = module1::db().readFirst(table);
    if (!record) return std::nullopt;
    for (const QString &field : GameDatabase::rowFields()) rows << record->value(field).toString();
    return record;
}
} // namespace

std::optional<StoredGame> readStoredGame() {
    StoredGame game;
    const auto source = readRecord(QStringLiteral("source"), game.sourceRows);
    const auto result =
        source ? readRecord(QStringLiteral("result"), game.resultRows) : std::nullopt;
    if (!module1::reportRead(result.has_value())) return std::nullopt;
    game.partie = source->value(Partie).toInt();
    return game;
}

GameDatabase::Fields tallyFields(const QString &prefix, const LetterTally &tally) {
    GameDatabase::Fields fields;
    const QStringList names = GameDatabase::letterFields(prefix);
    for (int s = 1; s <= 26; ++s) fields.emplace_back(names[s - 1], int(tally[size_t(s)]));
    return fields;
}

SavedGame::SavedGame(const QStringList &source, const QStringList &result)
    : sourceRows(source), resultRows(result), total(countRowLetters(source)),
      remaining(tallyDifference(total, countRowLetters(result))) {}

std::vector<GameDatabase::TableWrite> SavedGame::writes() const {
    GameDatabase::Fields source = GameDatabase::rowValues(sourceRows);
    for (auto &f : tallyFields(QStringLiteral("total_"), total)) source.push_back(std::move(f));
    GameDatabase::Fields result = GameDatabase::rowValues(resultRows);
    for (auto &f : tallyFields(QStringLiteral("reste_"), remaining)) result.push_back(std::move(f));
    return {{QStringLiteral("source"), std::move(source)},
            {QStringLiteral("result"), std::move(result)}};
}

GameDatabase::Batch save_batch(const SavedGame &saved, const Game &game) {
    GameDatabase::Batch batch{
        saved.writes(), {{QStringLiteral("source"), Partie, "INTEGER"}}, {journal_writes(game)}};
    batch.records.front().fields.emplace_back(Partie, game.partie);
    return batch;
}
