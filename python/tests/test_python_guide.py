"""The examples of the Python guide (docs/python.md), run as written from the repository root."""

import doctest


def test_python_guide_examples(repository, monkeypatch):
    monkeypatch.chdir(repository)
    failures, tried = doctest.testfile(str(repository / "docs" / "python.md"), module_relative=False,
                                       optionflags=doctest.ELLIPSIS | doctest.NORMALIZE_WHITESPACE)
    assert tried > 10 and failures == 0
