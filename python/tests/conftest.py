"""Shared set-up: the repository's files, and zurududo from the build tree (PYTHONPATH)."""

import os
import pathlib

import pytest

REPOSITORY = pathlib.Path(os.environ.get("ZURUDUDO_SOURCE_DIR", pathlib.Path(__file__).resolve().parents[2]))


@pytest.fixture
def repository():
    return REPOSITORY
