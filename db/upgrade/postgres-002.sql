-- Shop database version 1 (the first release) -> 2, PostgreSQL.
-- The program runs the numbered scripts of this folder in order, all in one transaction, when it
-- starts on an older database; by hand:  psql -v ON_ERROR_STOP=1 -d DBNAME -f db/upgrade/postgres-002.sql
-- Each script ends by setting its version. The counter's contains-searches keep the trigram
-- indexes the first release made.

SET client_encoding = 'UTF8';
BEGIN;

-- The schema version of this database, in its one row (db/upgrade/ takes an older database to it)
CREATE TABLE schema_version (
    id integer PRIMARY KEY CHECK (id = 1),
    version integer NOT NULL
);
INSERT INTO schema_version (id, version) VALUES (1, 2);

COMMIT;
