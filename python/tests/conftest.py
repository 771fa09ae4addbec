"""Shared set-up: the repository's files, zurududo from the build tree (PYTHONPATH), and the
hypothesis profiles."""

import os
import pathlib

import pytest
from hypothesis import settings

# Hypothesis profiles: "ci" (the default) keeps the property tests short;
# HYPOTHESIS_PROFILE=long runs them at length (docs/python.md).
settings.register_profile("ci", max_examples=60, deadline=None)
settings.register_profile("long", max_examples=5000, deadline=None)
settings.load_profile(os.environ.get("HYPOTHESIS_PROFILE", "ci"))

REPOSITORY = pathlib.Path(os.environ.get("ZURUDUDO_SOURCE_DIR", pathlib.Path(__file__).resolve().parents[2]))


@pytest.fixture
def repository():
    return REPOSITORY
