"""The examples of the README and of the Python guide (docs/python.md), run as written from the repository root."""

import doctest

import pytest


@pytest.mark.parametrize("page, examples", [("README.md", 4), ("docs/python.md", 10)])
def test_examples_of(page, examples, repository, monkeypatch):
    monkeypatch.chdir(repository)
    failures, tried = doctest.testfile(str(repository / page), module_relative=False,
                                       optionflags=doctest.ELLIPSIS | doctest.NORMALIZE_WHITESPACE)
    assert tried > examples and failures == 0
